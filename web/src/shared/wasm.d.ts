// The bundler's binary loader: a .wasm file imported is its bytes.
declare module '*.wasm' {
  const bytes: Uint8Array<ArrayBuffer>;
  export default bytes;
}
