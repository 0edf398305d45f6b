# Lights a white Lambert sphere in Blender with nothing but a panorama as its
# world, and finds where the light comes from: the sphere is rendered
# orthographically from two opposite sides (Cycles), the shading of every
# pixel is fitted by a + b . n over the sphere's normals (the Lambert fit; b
# points toward the light), and the brightest normals are averaged too. Both
# directions are compared with the sun's direction in the sun JSON.
#
#   blender -b --python tests/clients/blender_sun_light.py -- PANORAMA SUN.json [SAMPLES [WITHIN|BEYOND|FIT DEGREES]]
#
# PANORAMA is the EXR, the .hdr or the 8-bit PNG horizonmill-render wrote.
# With WITHIN (BEYOND) the script exits 1 unless both fitted directions lie
# within (beyond) DEGREES of the sun's; with FIT, unless the Lambert fit does
# (for a high sun, whose brightest normals neither camera sees).
# The panorama's frame (azimuth 0 toward -Z, 90 toward +X, up +Y) is Blender's
# world (Z up) as Blender maps an equirectangular environment texture: the
# image's middle column looks toward Blender's +X, a quarter in toward +Y, the
# top row toward +Z. So a direction (x, y, z) of the JSON is (z, x, y) in Blender.
import json
import math
import os
import sys
import tempfile

import bpy
from mathutils import Vector

args = sys.argv[sys.argv.index("--") + 1:]
panorama, sun_json = args[0], args[1]
samples = int(args[2]) if len(args) > 2 else 64
size = 160

bpy.ops.wm.read_factory_settings(use_empty=True)
scene = bpy.context.scene
scene.render.engine = "CYCLES"
scene.cycles.device = "CPU"
scene.cycles.samples = samples
scene.cycles.use_denoising = False
scene.render.resolution_x = scene.render.resolution_y = size
scene.render.resolution_percentage = 100
scene.view_settings.view_transform = "Standard"
scene.render.image_settings.file_format = "OPEN_EXR"
scene.render.image_settings.color_depth = "32"

# The world: the panorama alone, as an equirectangular environment.
world = bpy.data.worlds.new("panorama")
scene.world = world
world.use_nodes = True
nodes = world.node_tree.nodes
nodes.clear()
texture = nodes.new("ShaderNodeTexEnvironment")
texture.image = bpy.data.images.load(os.path.abspath(panorama))
texture.projection = "EQUIRECTANGULAR"
if panorama.lower().endswith((".exr", ".hdr")):
    texture.image.colorspace_settings.name = "Linear"
background = nodes.new("ShaderNodeBackground")
output = nodes.new("ShaderNodeOutputWorld")
world.node_tree.links.new(texture.outputs["Color"], background.inputs["Color"])
world.node_tree.links.new(background.outputs["Background"], output.inputs["Surface"])

# A white Lambert sphere of radius 1 at the origin.
bpy.ops.mesh.primitive_uv_sphere_add(segments=128, ring_count=64, radius=1)
sphere = bpy.context.active_object
bpy.ops.object.shade_smooth()
material = bpy.data.materials.new("white")
material.use_nodes = True
material.node_tree.nodes.clear()
diffuse = material.node_tree.nodes.new("ShaderNodeBsdfDiffuse")
diffuse.inputs["Color"].default_value = (1, 1, 1, 1)
out = material.node_tree.nodes.new("ShaderNodeOutputMaterial")
material.node_tree.links.new(diffuse.outputs["BSDF"], out.inputs["Surface"])
sphere.data.materials.append(material)

camera_data = bpy.data.cameras.new("camera")
camera_data.type = "ORTHO"
camera_data.ortho_scale = 2.2
camera = bpy.data.objects.new("camera", camera_data)
scene.collection.objects.link(camera)
scene.camera = camera

# (normal, brightness) of every pixel well inside the sphere's outline.
samples_seen = []
folder = tempfile.mkdtemp()
for side, toward in enumerate([Vector((0.3, -1, 0.2)), Vector((-0.3, 1, -0.2))]):
    toward.normalize()
    camera.location = toward * 5
    camera.rotation_euler = (-toward).to_track_quat("-Z", "Y").to_euler()
    bpy.context.view_layer.update()
    right = camera.matrix_world.to_3x3().col[0].normalized()
    up = camera.matrix_world.to_3x3().col[1].normalized()
    scene.render.filepath = os.path.join(folder, "side%d.exr" % side)
    bpy.ops.render.render(write_still=True)
    image = bpy.data.images.load(scene.render.filepath)
    pixels = list(image.pixels)
    half = camera_data.ortho_scale / 2
    for j in range(size):  # row 0 at the bottom
        for i in range(size):
            u = ((i + 0.5) / size * 2 - 1) * half
            v = ((j + 0.5) / size * 2 - 1) * half
            r2 = u * u + v * v
            if r2 > 0.9:
                continue
            n = right * u + up * v + toward * math.sqrt(1 - r2)
            k = (j * size + i) * 4
            luminance = 0.2126 * pixels[k] + 0.7152 * pixels[k + 1] + 0.0722 * pixels[k + 2]
            samples_seen.append((n, luminance))


def solve4(a, b):
    # Gaussian elimination with partial pivoting for the 4 x 4 normal equations.
    m = [row[:] + [b[i]] for i, row in enumerate(a)]
    for c in range(4):
        p = max(range(c, 4), key=lambda r: abs(m[r][c]))
        m[c], m[p] = m[p], m[c]
        for r in range(4):
            if r != c:
                f = m[r][c] / m[c][c]
                for k in range(c, 5):
                    m[r][k] -= f * m[c][k]
    return [m[i][4] / m[i][i] for i in range(4)]


# Least squares of brightness = a + b . n.
ata = [[0.0] * 4 for _ in range(4)]
atb = [0.0] * 4
for n, value in samples_seen:
    row = (1.0, n.x, n.y, n.z)
    for r in range(4):
        atb[r] += row[r] * value
        for c in range(4):
            ata[r][c] += row[r] * row[c]
coefficients = solve4(ata, atb)
lambert = Vector(coefficients[1:]).normalized()

# The brightest one per cent of the normals, averaged.
ordered = sorted(samples_seen, key=lambda s: s[1], reverse=True)
brightest = Vector((0, 0, 0))
for n, _ in ordered[: max(1, len(ordered) // 100)]:
    brightest += n
brightest.normalize()

sun = json.load(open(sun_json))
x, y, z = sun["direction"]
sun_blender = Vector((z, x, y)).normalized()


def angle(a, b):
    return math.degrees(a.angle(b))


result = {
    "panorama": os.path.basename(panorama),
    "sunBlender": [round(c, 4) for c in sun_blender],
    "lambertFit": [round(c, 4) for c in lambert],
    "lambertAngle": round(angle(lambert, sun_blender), 2),
    "brightest": [round(c, 4) for c in brightest],
    "brightestAngle": round(angle(brightest, sun_blender), 2),
    "meanBrightness": round(sum(s[1] for s in samples_seen) / len(samples_seen), 4),
}
print("SUNLIGHT " + json.dumps(result))
if len(args) > 4:
    limit = float(args[4])
    angles = (result["lambertAngle"], result["brightestAngle"])
    if args[3] == "FIT" and not result["lambertAngle"] <= limit:
        sys.exit(1)
    if args[3] == "WITHIN" and not all(a <= limit for a in angles):
        sys.exit(1)
    if args[3] == "BEYOND" and not all(a > limit for a in angles):
        sys.exit(1)
