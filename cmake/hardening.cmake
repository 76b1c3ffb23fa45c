# The protections Debian builds its programs with: checked buffer functions,
# stack guards, a read-only relocation table bound at start, and a program
# that loads at a random address. The sanitizer build goes without: it does
# its own checking, and fortified functions hide faults from it.
if(NOT WIN32 AND NOT MARCHFIRE_SANITIZE)
  # Fortified functions need the optimiser; a debug build gets the rest.
  set(_optimised "$<NOT:$<CONFIG:Debug>>")
  add_compile_options("$<${_optimised}:-U_FORTIFY_SOURCE>" "$<${_optimised}:-D_FORTIFY_SOURCE=2>"
    -fstack-protector-strong)
  include(CheckPIESupported)
  check_pie_supported()
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
endif()
