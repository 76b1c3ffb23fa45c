# One commit built in two folders gives the same bytes. The compilers write
# the folders' paths into the debug information (and into __FILE__), and the
# GNU build ID is a hash of all of it; mapped to fixed names here, the source
# folder reads as "." and the build folder as "build", wherever they are. A
# debugger started in the source folder still finds the sources.
# The build folder's map comes last, so it wins where the build folder lies
# inside the source folder.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  # Not for the resource compiler, which takes no such option.
  add_compile_options("$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${CMAKE_BINARY_DIR}=build>")
endif()
