// The frame through WebGL: the game's words go into one texture as they are
// and the shader puts their bytes in order, so no pass over the frame is
// made on the page's thread but the upload's own copy.
//
// Only where a GPU draws it: WebGL drawn by the processor (SwiftShader,
// llvmpipe: a machine without a GPU) costs the page far more than a 2D
// canvas, whose pixels the browser then composites as they are
// (docs/performance.md, "Web").
'use strict';
var marchfireHost = window.marchfireHost || (window.marchfireHost = {});

marchfireHost.glFrame = (function () {
  // Row 0 of the texture (the frame's top row) at the top of the canvas.
  var vertexSource =
      'attribute vec2 corner;\n' +
      'varying vec2 at;\n' +
      'void main() {\n' +
      '  at = vec2(corner.x + 1.0, 1.0 - corner.y) * 0.5;\n' +
      '  gl_Position = vec4(corner, 0.0, 1.0);\n' +
      '}\n';
  // A little-endian 0x00RRGGBB word is the bytes B, G, R, 0: read as RGBA,
  // its red is in blue. A medium-precision coordinate cannot tell 1,024
  // texels apart on every GPU, hence high precision where there is one.
  var fragmentSource =
      '#ifdef GL_FRAGMENT_PRECISION_HIGH\n' +
      'precision highp float;\n' +
      '#else\n' +
      'precision mediump float;\n' +
      '#endif\n' +
      'varying vec2 at;\n' +
      'uniform sampler2D frame;\n' +
      'void main() { gl_FragColor = vec4(texture2D(frame, at).bgr, 1.0); }\n';
  // The drawing is kept after the browser has taken it: a page drawn without
  // compositing (WebKitGTK with WEBKIT_DISABLE_COMPOSITING_MODE=1, as some
  // GPUs and distributions run it) paints the canvas from its buffer later,
  // and a buffer let go by then paints black. A frame is drawn only when a
  // new one comes, so keeping it costs nothing in between.
  var attributes = {alpha: false, antialias: false, depth: false, stencil: false,
                    premultipliedAlpha: false, preserveDrawingBuffer: true};

  function drawnBySoftware(gl) {
    var info = gl.getExtension('WEBGL_debug_renderer_info');
    var renderer = String(gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER));
    return /swiftshader|llvmpipe|softpipe|software/i.test(renderer);
  }

  function compiled(gl, type, source) {
    var shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    return shader;
  }

  // What the context holds: made at the start and again once a lost
  // context is back. False when the context cannot make it.
  function build(gl, width, height) {
    var program = gl.createProgram();
    gl.attachShader(program, compiled(gl, gl.VERTEX_SHADER, vertexSource));
    gl.attachShader(program, compiled(gl, gl.FRAGMENT_SHADER, fragmentSource));
    gl.linkProgram(program);
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) return false;
    gl.useProgram(program);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    var corner = gl.getAttribLocation(program, 'corner');
    gl.enableVertexAttribArray(corner);
    gl.vertexAttribPointer(corner, 2, gl.FLOAT, false, 0, 0);
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    // Allocated once; each frame only replaces its texels.
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, width, height, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    gl.viewport(0, 0, width, height);
    return gl.getError() === gl.NO_ERROR;
  }

  // A view of the canvas through WebGL, or null where the browser refuses
  // it or has no GPU to draw it. A canvas that gave a WebGL context gives
  // no other kind, even when this one is let go.
  function open(canvas) {
    var width = canvas.width, height = canvas.height;
    var gl = canvas.getContext('webgl', attributes);
    if (!gl) return null;
    if (drawnBySoftware(gl) || !build(gl, width, height)) {
      var lose = gl.getExtension('WEBGL_lose_context');
      if (lose) lose.loseContext();
      return null;
    }

    function draw() { gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4); }

    return {
      // `bytes`: the frame's words as bytes, width * height * 4 of them.
      show: function (bytes) {
        gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, bytes);
        draw();
      },
      // The RGBA bytes on the canvas, top row first: drawn again from the
      // texture and read back in the same task, whatever the canvas holds.
      readShown: function () {
        draw();
        var upward = new Uint8Array(width * height * 4);
        gl.readPixels(0, 0, width, height, gl.RGBA, gl.UNSIGNED_BYTE, upward);
        var rows = new Uint8Array(upward.length);
        var rowBytes = width * 4;
        for (var y = 0; y < height; y++) {
          rows.set(upward.subarray((height - 1 - y) * rowBytes, (height - y) * rowBytes), y * rowBytes);
        }
        return rows;
      },
      rebuild: function () { return build(gl, width, height); },
      lost: function () { return gl.isContextLost(); },
    };
  }

  return {open: open};
})();
