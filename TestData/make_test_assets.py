#!/usr/bin/env python3
"""Writes the small generated inputs of demo.json: the PNG textures under
Textures/ and the glTF node tree Meshes/lamp.gltf. Run it from any folder; the
outputs are committed, so it is needed only to change them."""

import base64
import json
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


def png(path, width, height, color_type, rows, bit_depth=8, palette=None, trns=None):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\x00" + bytes(row) for row in rows)
    out = b"\x89PNG\r\n\x1a\n"
    out += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, bit_depth, color_type, 0, 0, 0))
    if palette:
        out += chunk(b"PLTE", bytes(c for rgb in palette for c in rgb))
    if trns:
        out += chunk(b"tRNS", bytes(trns))
    out += chunk(b"IDAT", zlib.compress(raw, 9))
    out += chunk(b"IEND", b"")
    with open(os.path.join(HERE, path), "wb") as f:
        f.write(out)


def textures():
    n = 16
    # Stone: two grey-brown tones in a brick pattern.
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            mortar = y % 8 == 0 or (x + (4 if (y // 8) % 2 else 0)) % 8 == 0
            c = (70, 66, 60) if mortar else (150 + (x * 7 + y * 3) % 20, 130, 110)
            row.extend(c)
        rows.append(row)
    png("Textures/stone.png", n, n, 2, rows)

    # Normal map of the bricks: mortar lines tilt the normal, encoded as RGB.
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            nx = -0.5 if (x + (4 if (y // 8) % 2 else 0)) % 8 == 0 else 0.0
            ny = -0.5 if y % 8 == 0 else 0.0
            length = math.sqrt(nx * nx + ny * ny + 1.0)
            row.extend(int(round((v / length * 0.5 + 0.5) * 255)) for v in (nx, ny, 1.0))
        rows.append(row)
    png("Textures/stone_n.png", n, n, 2, rows)

    # Displacement: 8-bit grey bumps.
    rows = [[int(127.5 + 127.5 * math.sin(x * math.pi / 4) * math.sin(y * math.pi / 4))
             for x in range(n)] for y in range(n)]
    png("Textures/bumps.png", n, n, 0, rows)

    # Glass: a palette image with a transparency chunk.
    palette = [(200, 230, 255), (120, 180, 230), (255, 255, 255)]
    rows = [[(x // 2 + y // 2) % 3 for x in range(8)] for y in range(8)]
    png("Textures/glass.png", 8, 8, 3, rows, palette=palette, trns=[96, 160, 255])


def lamp():
    """A lamp as a node tree: a group node 'Lamp' (translated) holding the
    'Base' mesh and a 'Shade' node with its own translation. Both meshes carry
    two texture channels."""
    # Base: a box 0.6 x 0.2 x 0.6 standing on y = 0, 24 vertices.
    faces = [  # normal, u axis, v axis
        ((1, 0, 0), (0, 0, -1), (0, 1, 0)), ((-1, 0, 0), (0, 0, 1), (0, 1, 0)),
        ((0, 1, 0), (1, 0, 0), (0, 0, -1)), ((0, -1, 0), (1, 0, 0), (0, 0, 1)),
        ((0, 0, 1), (1, 0, 0), (0, 1, 0)), ((0, 0, -1), (-1, 0, 0), (0, 1, 0))]
    half = (0.3, 0.1, 0.3)
    centre = (0.0, 0.1, 0.0)
    pos, nrm, uv0, uv1, idx = [], [], [], [], []
    for normal, u, v in faces:
        base = len(pos)
        for su, sv in ((-1, -1), (1, -1), (1, 1), (-1, 1)):
            p = [centre[a] + (normal[a] + su * u[a] + sv * v[a]) * half[a] for a in range(3)]
            pos.append(p)
            nrm.append(list(normal))
            uv0.append([(su + 1) / 2, (sv + 1) / 2])
            uv1.append([(su + 1) / 4, (sv + 1) / 4])
        idx += [base, base + 1, base + 2, base, base + 2, base + 3]
    base_mesh = (pos, nrm, uv0, uv1, idx)

    # Shade: a four-sided pyramid without a bottom, apex up, flat normals.
    apex = (0.0, 0.5, 0.0)
    corners = [(-0.35, 0.0, 0.35), (0.35, 0.0, 0.35), (0.35, 0.0, -0.35), (-0.35, 0.0, -0.35)]
    pos, nrm, uv0, uv1, idx = [], [], [], [], []
    for i in range(4):
        a, b = corners[i], corners[(i + 1) % 4]
        e1 = [b[k] - a[k] for k in range(3)]
        e2 = [apex[k] - a[k] for k in range(3)]
        n = [e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
             e1[0] * e2[1] - e1[1] * e2[0]]
        length = math.sqrt(sum(c * c for c in n))
        n = [c / length for c in n]
        base = len(pos)
        for p, t in ((a, (0, 0)), (b, (1, 0)), (apex, (0.5, 1))):
            pos.append(list(p))
            nrm.append(n)
            uv0.append(list(t))
            uv1.append([t[1], t[0]])
        idx += [base, base + 1, base + 2]
    shade_mesh = (pos, nrm, uv0, uv1, idx)

    blob = b""
    views, accessors = [], []

    def add(values, kind, component, count_per):
        nonlocal blob
        while len(blob) % 4:
            blob += b"\x00"
        offset = len(blob)
        fmt = "<" + ("I" if component == 5125 else "f") * (len(values) * count_per)
        flat = [c for v in values for c in (v if isinstance(v, list) else [v])]
        blob += struct.pack(fmt, *flat)
        views.append({"buffer": 0, "byteOffset": offset, "byteLength": len(blob) - offset})
        accessor = {"bufferView": len(views) - 1, "componentType": component,
                    "count": len(values), "type": kind}
        if kind == "VEC3" and component == 5126:
            accessor["min"] = [min(v[a] for v in values) for a in range(3)]
            accessor["max"] = [max(v[a] for v in values) for a in range(3)]
        accessors.append(accessor)
        return len(accessors) - 1

    meshes = []
    for name, material, (p, n, t0, t1, i) in (("Base", 0, base_mesh), ("Shade", 1, shade_mesh)):
        attributes = {"POSITION": add(p, "VEC3", 5126, 3), "NORMAL": add(n, "VEC3", 5126, 3),
                      "TEXCOORD_0": add(t0, "VEC2", 5126, 2),
                      "TEXCOORD_1": add(t1, "VEC2", 5126, 2)}
        indices = add(i, "SCALAR", 5125, 1)
        meshes.append({"name": name, "primitives": [
            {"attributes": attributes, "indices": indices, "material": material}]})

    gltf = {
        "asset": {"version": "2.0", "generator": "make_test_assets.py"},
        "scene": 0,
        "scenes": [{"nodes": [0]}],
        "nodes": [
            {"name": "Lamp", "translation": [0.0, 0.0, 0.0], "children": [1, 2]},
            {"name": "BaseNode", "mesh": 0},
            {"name": "ShadeNode", "mesh": 1, "translation": [0.0, 0.9, 0.0]},
        ],
        "meshes": meshes,
        "materials": [{"name": "Metal"}, {"name": "Glow"}],
        "accessors": accessors,
        "bufferViews": views,
        "buffers": [{"byteLength": len(blob),
                     "uri": "data:application/octet-stream;base64," +
                            base64.b64encode(blob).decode("ascii")}],
    }
    with open(os.path.join(HERE, "Meshes/lamp.gltf"), "w") as f:
        json.dump(gltf, f, indent=1)
        f.write("\n")


if __name__ == "__main__":
    textures()
    lamp()
