// The WebGL 2 replayer of the draw list: the matrix stack, colours and primitives of the OpenGL
// replay, computed on the CPU into one batch of triangles per frame. WebGL draws lines one pixel
// wide at most, so each segment becomes a quad of the native line's width.
import * as dl from 'generated/commands';
import type { DrawList } from './engine';

type Matrix = Float64Array; // 4 x 4, column-major

const floatsPerVertex = 7; // clip x, y, z, w; red, green, blue
// Vertices nearer the camera plane than this (in clip w) are cut off, as the near plane does.
const nearW = 1e-5;

function identity(): Matrix {
  const m = new Float64Array(16);
  m[0] = m[5] = m[10] = m[15] = 1;
  return m;
}

// a * b
function multiply(a: Matrix, b: ArrayLike<number>): Matrix {
  const r = new Float64Array(16);
  for (let col = 0; col < 4; ++col) {
    for (let row = 0; row < 4; ++row) {
      let sum = 0;
      for (let k = 0; k < 4; ++k) {
        sum += a[k * 4 + row] * b[col * 4 + k];
      }
      r[col * 4 + row] = sum;
    }
  }
  return r;
}

// OpenGL's rotation by angle degrees about the axis (x, y, z).
function rotation(angle: number, x: number, y: number, z: number): Matrix {
  const m = identity();
  const length = Math.hypot(x, y, z);
  if (length === 0) {
    return m;
  }
  x /= length;
  y /= length;
  z /= length;
  const radians = (angle * Math.PI) / 180;
  const c = Math.cos(radians);
  const s = Math.sin(radians);
  const t = 1 - c;
  m[0] = x * x * t + c;
  m[1] = y * x * t + z * s;
  m[2] = x * z * t - y * s;
  m[4] = x * y * t - z * s;
  m[5] = y * y * t + c;
  m[6] = y * z * t + x * s;
  m[8] = x * z * t + y * s;
  m[9] = y * z * t - x * s;
  m[10] = z * z * t + c;
  return m;
}

function translation(x: number, y: number, z: number): Matrix {
  const m = identity();
  m[12] = x;
  m[13] = y;
  m[14] = z;
  return m;
}

function scaling(x: number, y: number, z: number): Matrix {
  const m = identity();
  m[0] = x;
  m[5] = y;
  m[10] = z;
  return m;
}

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
  // Draws the list into the canvas's whole drawing buffer.
  draw(list: DrawList, projection: Float32Array, modelView: Float32Array): void;
}

function compile(gl: WebGL2RenderingContext, type: number, source: string): WebGLShader {
  const shader = gl.createShader(type);
  if (!shader) {
    throw new Error('WebGL cannot create a shader');
  }
  gl.shaderSource(shader, source);
  gl.compileShader(shader);
  if (!gl.getShaderParameter(shader, gl.COMPILE_STATUS)) {
    throw new Error(`shader: ${gl.getShaderInfoLog(shader)}`);
  }
  return shader;
}

// lineWidth: the outlines' width in drawing-buffer pixels.
export function createReplayer(gl: WebGL2RenderingContext, lineWidth: () => number): Replayer {
  const program = gl.createProgram();
  if (!program) {
    throw new Error('WebGL cannot create a program');
  }
  gl.attachShader(program, compile(gl, gl.VERTEX_SHADER, vertexShader));
  gl.attachShader(program, compile(gl, gl.FRAGMENT_SHADER, fragmentShader));
  gl.bindAttribLocation(program, 0, 'position');
  gl.bindAttribLocation(program, 1, 'color');
  gl.linkProgram(program);
  if (!gl.getProgramParameter(program, gl.LINK_STATUS)) {
    throw new Error(`program: ${gl.getProgramInfoLog(program)}`);
  }
  const buffer = gl.createBuffer();
  const vao = gl.createVertexArray();
  gl.bindVertexArray(vao);
  gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
  gl.enableVertexAttribArray(0);
  gl.vertexAttribPointer(0, 4, gl.FLOAT, false, floatsPerVertex * 4, 0);
  gl.enableVertexAttribArray(1);
  gl.vertexAttribPointer(1, 3, gl.FLOAT, false, floatsPerVertex * 4, 16);
  gl.clearColor(0, 0, 0, 1);

  let out = new Float32Array(floatsPerVertex * 3 * 4096);
  let used = 0; // floats

  const emit = (clip: ArrayLike<number>, color: ArrayLike<number>): void => {
    if (used + floatsPerVertex > out.length) {
      const grown = new Float32Array(out.length * 2);
      grown.set(out);
      out = grown;
    }
    out[used++] = clip[0];
    out[used++] = clip[1];
    out[used++] = clip[2];
    out[used++] = clip[3];
    out[used++] = color[0];
    out[used++] = color[1];
    out[used++] = color[2];
  };

  const flush = (): void => {
    if (used > 0) {
      gl.bufferData(gl.ARRAY_BUFFER, out.subarray(0, used), gl.STREAM_DRAW);
      gl.drawArrays(gl.TRIANGLES, 0, used / floatsPerVertex);
      used = 0;
    }
  };

  // A segment between two clip-space points as two triangles, halfWidth pixels either side.
  const segment = (a: number[], b: number[], color: number[], halfWidth: number): void => {
    if (a[3] < nearW && b[3] < nearW) {
      return;
    }
    // Cut the part behind the near plane off, as clipping would.
    if (a[3] < nearW || b[3] < nearW) {
      const t = (nearW - a[3]) / (b[3] - a[3]);
      const cut = a.map((v, i) => v + (b[i] - v) * t);
      if (a[3] < nearW) {
        a = cut;
      } else {
        b = cut;
      }
    }
    const w = gl.drawingBufferWidth;
    const h = gl.drawingBufferHeight;
    const dx = ((b[0] / b[3] - a[0] / a[3]) * w) / 2;
    const dy = ((b[1] / b[3] - a[1] / a[3]) * h) / 2;
    const length = Math.hypot(dx, dy);
    // A segment shorter than a pixel still covers its pixel, as an OpenGL line does.
    const [nx, ny] = length > 1e-6 ? [-dy / length, dx / length] : [0, 1];
    const offset = (p: number[], side: number): number[] => [
      p[0] + ((side * nx * halfWidth * 2) / w) * p[3],
      p[1] + ((side * ny * halfWidth * 2) / h) * p[3],
      p[2],
      p[3],
    ];
    const a0 = offset(a, 1);
    const a1 = offset(a, -1);
    const b0 = offset(b, 1);
    const b1 = offset(b, -1);
    emit(a0, color);
    emit(a1, color);
    emit(b0, color);
    emit(b0, color);
    emit(a1, color);
    emit(b1, color);
  };

  return {
    draw(list, projection, modelView) {
      gl.viewport(0, 0, gl.drawingBufferWidth, gl.drawingBufferHeight);
      gl.useProgram(program);
      gl.bindVertexArray(vao);
      gl.bindBuffer(gl.ARRAY_BUFFER, buffer);
      const halfWidth = Math.max(1, lineWidth()) / 2;
      const stack: Matrix[] = [];
      let model: Matrix = Float64Array.from(modelView);
      let combined: Matrix | null = null;
      let color = [1, 1, 1];
      let primitive = 0;
      let vertices: Array<{ clip: number[]; color: number[] }> = [];
      const { commands, words, floats } = list;
      for (let i = 0; i + 2 < commands.length; i += 3) {
        const code = commands[i];
        const first = commands[i + 1];
        const count = commands[i + 2];
        // A command that is not whole is skipped, as the OpenGL replay skips it.
        if (code >= dl.draw_code_count || count < dl.draw_code_words[code] ||
            first + count > words.length) {
          continue;
        }
        const f = (k: number): number => floats[first + k];
        switch (code) {
          case dl.draw_color:
            color = [f(0), f(1), f(2)];
            break;
          case dl.draw_push_matrix:
            stack.push(model);
            break;
          case dl.draw_pop_matrix:
            model = stack.pop() ?? model;
            combined = null;
            break;
          case dl.draw_rotate:
            model = multiply(model, rotation(f(0), f(1), f(2), f(3)));
            combined = null;
            break;
          case dl.draw_translate:
            model = multiply(model, translation(f(0), f(1), f(2)));
            combined = null;
            break;
          case dl.draw_scale:
            model = multiply(model, scaling(f(0), f(1), f(2)));
            combined = null;
            break;
          case dl.draw_begin:
            primitive = words[first];
            vertices = [];
            break;
          case dl.draw_vertex: {
            combined ??= multiply(Float64Array.from(projection), model);
            const m = combined;
            const x = f(0);
            const y = f(1);
            const clip = [0, 1, 2, 3].map((row) => m[row] * x + m[4 + row] * y + m[12 + row]);
            // Each vertex takes the colour current when it is given, as in OpenGL.
            vertices.push({ clip, color });
            break;
          }
          case dl.draw_end:
            if (primitive === dl.draw_primitive_polygon) {
              for (let v = 2; v < vertices.length; ++v) {
                for (const corner of [vertices[0], vertices[v - 1], vertices[v]]) {
                  emit(corner.clip, corner.color);
                }
              }
            } else if (primitive === dl.draw_primitive_lines) {
              for (let v = 1; v < vertices.length; v += 2) {
                segment(vertices[v - 1].clip, vertices[v].clip, vertices[v].color, halfWidth);
              }
            }
            vertices = [];
            break;
          case dl.draw_clear:
            flush();
            if (words[first] & dl.draw_clear_color) {
              gl.clear(gl.COLOR_BUFFER_BIT);
            }
            break;
          case dl.draw_finish:
            flush();
            break;
        }
      }
      flush();
    },
  };
}
