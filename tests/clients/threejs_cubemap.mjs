// Checks the cube maps horizonmill-render writes against three.js in headless
// Chromium: each layout is cut into its six faces by the layout's template,
// loaded as a cube texture, and looked through in known directions; every view
// is compared with the panorama's own pixels in the same directions.
//
//   node threejs_cubemap.mjs CHROMIUM DIR
//
// DIR holds panorama.png and one folder per case (see threejs_cubemap.sh):
// gl-LAYOUT and threejs-LAYOUT, each with the faces (px.png ...) or
// cubemap.png. The gl faces are sampled as a GL cube map is (a shader's
// textureCube with the world direction); the threejs faces are shown as the
// scene's background (which three.js mirrors). Exits 0 when every case shows
// the panorama and the mixed-up controls do not, 1 otherwise.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const [chromium, dir] = process.argv.slice(2);
const threeModule = path.join(here, 'node_modules/three/build/three.module.js');
const threeCore = path.join(here, 'node_modules/three/build/three.core.js');

// The pages and pictures over loopback: module scripts do not load from file URLs.
const server = http.createServer((request, response) => {
  const url = decodeURIComponent(request.url.split('?')[0]);
  let file;
  if (url === '/three.module.js') file = threeModule;
  else if (url === '/three.core.js') file = threeCore;
  else if (url === '/') {
    response.writeHead(200, { 'Content-Type': 'text/html' });
    response.end('<!doctype html><html><body></body></html>');
    return;
  } else file = path.join(dir, path.normalize(url).replace(/^(\.\.[/\\])+/, ''));
  fs.readFile(file, (error, data) => {
    if (error) {
      response.writeHead(404);
      response.end();
      return;
    }
    const type = file.endsWith('.js') ? 'text/javascript' : 'image/png';
    response.writeHead(200, { 'Content-Type': type });
    response.end(data);
  });
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const origin = `http://127.0.0.1:${server.address().port}`;

const browser = await puppeteer.launch({
  executablePath: chromium,
  headless: true,
  args: [
    '--headless', '--no-sandbox', '--disable-gpu', '--use-angle=swiftshader',
    '--enable-unsafe-swiftshader', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--no-first-run',
  ],
});

let failed = false;
try {
  const page = await browser.newPage();
  page.on('console', (message) => {
    const text = message.text();
    if (!/GL Driver Message|Failed to load resource/.test(text)) console.log('page:', text);
  });
  page.on('pageerror', (error) => console.log('page error:', error.message));
  await page.goto(origin + '/');
  const cases = JSON.parse(fs.readFileSync(path.join(dir, 'cases.json'), 'utf8'));
  const results = await page.evaluate(async (cases) => {
    const THREE = await import('/three.module.js');
    THREE.ColorManagement.enabled = false;

    const load = (url) => new Promise((resolve, reject) => {
      const image = new Image();
      image.onload = () => resolve(image);
      image.onerror = () => reject(new Error('cannot load ' + url));
      image.src = url;
    });
    const pixelsOf = (image) => {
      const canvas = document.createElement('canvas');
      canvas.width = image.width;
      canvas.height = image.height;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return context.getImageData(0, 0, image.width, image.height);
    };

    // The panorama and its direction rule: column x, row y of W x H look
    // toward azimuth 360 (x + 0.5) / W, elevation 90 - 180 (y + 0.5) / H,
    // the direction (cos e sin a, sin e, -cos e cos a).
    const panorama = pixelsOf(await load('/panorama.png'));
    const W = panorama.width, H = panorama.height;
    const samplePanorama = (d) => {
      const azimuth = Math.atan2(d.x, -d.z);
      const elevation = Math.atan2(d.y, Math.hypot(d.x, d.z));
      const px = ((azimuth / (2 * Math.PI) + 1) % 1) * W - 0.5;
      const py = (0.5 - elevation / Math.PI) * H - 0.5;
      const x0 = Math.floor(px), y0 = Math.floor(py), tx = px - x0, ty = py - y0;
      const at = (x, y) => {
        x = ((x % W) + W) % W;
        y = Math.min(H - 1, Math.max(0, y));
        return (y * W + x) * 4;
      };
      const out = [0, 0, 0];
      const corners = [[x0, y0, (1 - tx) * (1 - ty)], [x0 + 1, y0, tx * (1 - ty)],
                       [x0, y0 + 1, (1 - tx) * ty], [x0 + 1, y0 + 1, tx * ty]];
      for (const [x, y, w] of corners) {
        const i = at(x, y);
        for (let c = 0; c < 3; ++c) out[c] += w * panorama.data[i + c];
      }
      return out;
    };

    // The templates: each face's cell (column, row) and whether it is turned
    // by 180 degrees, in the order px, nx, py, ny, pz, nz.
    const templates = {
      row: [[0, 0], [1, 0], [2, 0], [3, 0], [4, 0], [5, 0]],
      column: [[0, 0], [0, 1], [0, 2], [0, 3], [0, 4], [0, 5]],
      '2x3': [[0, 0], [1, 0], [0, 1], [1, 1], [0, 2], [1, 2]],
      '3x2': [[0, 0], [1, 0], [2, 0], [0, 1], [1, 1], [2, 1]],
      cross: [[2, 1], [0, 1], [1, 0], [1, 2], [1, 1], [3, 1]],
      vcross: [[2, 1], [0, 1], [1, 0], [1, 2], [1, 1], [1, 3, true]],
    };
    const faceNames = ['px', 'nx', 'py', 'ny', 'pz', 'nz'];
    const facesOf = async (folder, layout) => {
      if (layout === 'faces')
        return Promise.all(faceNames.map((name) => load(`/${folder}/${name}.png`)));
      const picture = await load(`/${folder}/cubemap.png`);
      const grid = templates[layout];
      const columns = Math.max(...grid.map((c) => c[0])) + 1;
      const n = picture.width / columns;
      return grid.map(([column, row, turned]) => {
        const canvas = document.createElement('canvas');
        canvas.width = canvas.height = n;
        const context = canvas.getContext('2d');
        if (turned) {
          context.translate(n, n);
          context.rotate(Math.PI);
        }
        context.drawImage(picture, column * n, row * n, n, n, 0, 0, n, n);
        return canvas;
      });
    };

    const size = 48;
    const renderer = new THREE.WebGLRenderer({ preserveDrawingBuffer: true });
    renderer.outputColorSpace = THREE.LinearSRGBColorSpace;
    renderer.setSize(size, size);
    document.body.appendChild(renderer.domElement);
    const camera = new THREE.PerspectiveCamera(60, 1, 0.1, 10);

    // A GL cube map sampled as GL samples it: the world direction of each
    // fragment, straight into textureCube.
    const glScene = (texture) => {
      const scene = new THREE.Scene();
      const material = new THREE.ShaderMaterial({
        uniforms: { map: { value: texture } },
        vertexShader: `varying vec3 direction;
          void main() {
            direction = position;
            vec4 p = projectionMatrix * mat4(mat3(viewMatrix)) * vec4(position, 1.0);
            gl_Position = p.xyww;
          }`,
        fragmentShader: `uniform samplerCube map; varying vec3 direction;
          void main() { gl_FragColor = vec4(textureCube(map, direction).rgb, 1.0); }`,
        side: THREE.BackSide,
        depthWrite: false,
      });
      scene.add(new THREE.Mesh(new THREE.BoxGeometry(2, 2, 2), material));
      return scene;
    };
    const backgroundScene = (texture) => {
      const scene = new THREE.Scene();
      scene.background = texture;
      return scene;
    };

    // Directions to look in: around the horizon, above and below it.
    const views = [];
    for (let azimuth = 0; azimuth < 360; azimuth += 30)
      for (const elevation of [-50, -15, 0, 20, 60]) views.push([azimuth + 7, elevation]);
    views.push([40, 85], [200, -85]);
    const gl = renderer.getContext();
    const pixels = new Uint8Array(size * size * 4);
    const ray = new THREE.Vector3();

    // The mean difference of a channel between what three.js shows and the
    // panorama, over every view.
    const compare = (scene) => {
      let sum = 0, count = 0;
      for (const [azimuth, elevation] of views) {
        const a = azimuth * Math.PI / 180, e = elevation * Math.PI / 180;
        camera.position.set(0, 0, 0);
        camera.up.set(0, 1, 0);
        camera.lookAt(Math.cos(e) * Math.sin(a), Math.sin(e), -Math.cos(e) * Math.cos(a));
        camera.updateMatrixWorld();
        renderer.render(scene, camera);
        gl.readPixels(0, 0, size, size, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
        for (let j = 0; j < size; ++j)
          for (let i = 0; i < size; ++i) {
            // readPixels' row 0 is the bottom of the view.
            ray.set((i + 0.5) / size * 2 - 1, (j + 0.5) / size * 2 - 1, 0.5).unproject(camera)
                .sub(camera.position).normalize();
            const expected = samplePanorama(ray);
            const k = (j * size + i) * 4;
            for (let c = 0; c < 3; ++c) sum += Math.abs(pixels[k + c] - expected[c]);
            count += 3;
          }
      }
      return sum / count;
    };

    const results = [];
    for (const c of cases) {
      const images = await facesOf(c.folder, c.layout);
      const texture = new THREE.CubeTexture(images);
      texture.colorSpace = THREE.NoColorSpace;
      texture.generateMipmaps = false;
      texture.minFilter = THREE.LinearFilter;
      texture.needsUpdate = true;
      // Each convention through its own client, and through the other one as
      // a control that must not match.
      const right = c.convention === 'gl' ? glScene(texture) : backgroundScene(texture);
      const wrong = c.convention === 'gl' ? backgroundScene(texture) : glScene(texture);
      results.push({ ...c, right: compare(right), wrong: compare(wrong) });
      texture.dispose();
    }
    return results;
  }, cases);

  // Resampling twice (the faces from the panorama, the view from the faces)
  // blurs a little; a face in the wrong place or orientation differs by far more.
  const matches = 6, mismatches = 15;
  for (const r of results) {
    const ok = r.right <= matches && r.wrong >= mismatches;
    failed ||= !ok;
    console.log(`${ok ? 'ok  ' : 'FAIL'} ${r.convention.padEnd(8)} ${r.layout.padEnd(7)} ` +
                `mean difference ${r.right.toFixed(2)} (the other client's way: ${r.wrong.toFixed(2)})`);
  }
  if (results.length !== cases.length) failed = true;
} finally {
  await browser.close();
  server.close();
}
process.exit(failed ? 1 : 0);
