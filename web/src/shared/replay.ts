// The WebGL 2 replayer: the frame's mesh, built in the core (drawlist/mesh.hpp), uploaded and
// drawn in one call. The core has applied the matrices and widened the outlines into quads, since
// WebGL draws lines one pixel wide at most.
import type { Mesh } from './engine';

const floatsPerVertex = 7; // clip x, y, z, w; red, green, blue

const vertexShader = `#version 300 es
in vec4 position;
in vec3 color;
out vec3 shade;
void main() {
  gl_Position = position;
  shade = color;
}`;

const fragmentShader = `#version 300 es
precision mediump float;
in vec3 shade;
out vec4 pixel;
void main() {
  pixel = vec4(shade, 1.0);
}`;

export interface Replayer {
  // Draws the mesh into the canvas's whole drawing buffer.
  draw(mesh: Mesh): void;
}

function compile(gl: WebGL2RenderingContext, type: number, source: string): WebGLShader {
  const shader = gl.createShader(type);
  if (!shader) {
    throw new Error('WebGL cannot create a shader');
  }
  gl.shaderSource(shader, source);
  gl.compileShader(shader);
  return shader;
}

export function createReplayer(gl: WebGL2RenderingContext): Replayer {
  const program = gl.createProgram();
  if (!program) {
    throw new Error('WebGL cannot create a program');
  }
  const shaders = [compile(gl, gl.VERTEX_SHADER, vertexShader), compile(gl, gl.FRAGMENT_SHADER, fragmentShader)];
  shaders.forEach((shader) => gl.attachShader(program, shader));
  gl.bindAttribLocation(program, 0, 'position');
  gl.bindAttribLocation(program, 1, 'color');
  gl.linkProgram(program);
  // Asked at the first draw, not here: the answer waits for the GPU's side to compile and link,
  // which it does meanwhile.
  let linked = false;
  const checkLinked = (): void => {
    if (linked) {
      return;
    }
    if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
      // A shader that did not compile says more than the link that failed on it.
      const failed = shaders.find((shader) => !gl.getShaderParameter(shader, gl.COMPILE_STATUS));
      throw new Error(failed ? `shader: ${gl.getShaderInfoLog(failed)}` : `program: ${gl.getProgramInfoLog(program)}`);
    }
    linked = true;
  };
  const buffer = gl.createBuffer();
  const vao = gl.createVertexArray();
  gl.bindVertexArray(vao);
  gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
  gl.enableVertexAttribArray(0);
  gl.vertexAttribPointer(0, 4, gl.FLOAT, false, floatsPerVertex * 4, 0);
  gl.enableVertexAttribArray(1);
  gl.vertexAttribPointer(1, 3, gl.FLOAT, false, floatsPerVertex * 4, 16);
  gl.clearColor(0, 0, 0, 1);

  return {
    draw(mesh) {
      gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
      if (mesh.clears) {
        gl.clear(gl.COLOR_BUFFER_BIT);
      }
      if (mesh.vertices.length === 0) {
        return;
      }
      checkLinked();
      gl.useProgram(program);
      gl.bindVertexArray(vao);
      gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
      gl.bufferData(gl.ARRAY_BUFFER, mesh.vertices, gl.STREAM_DRAW);
      gl.drawArrays(gl.TRIANGLES, 0, mesh.vertices.length / floatsPerVertex);
    },
  };
}
