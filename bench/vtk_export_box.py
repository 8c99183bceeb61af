#!/usr/bin/python3
"""Times VTK's VRML exporter (vtkVRMLExporter) on the model that sceneport-bench exports.

    bench/vtk_export_box.py [--size N] [--runs R] [--dir DIR] [--porcelain]

The model is sceneport-bench's box: N*N*N unit cubes, each an 8-node hexahedron, on the
(N+1)^3 nodes of the integer grid 0..N (node (i,j,k) is point i + (N+1)*(j + (N+1)*k)). VTK
gets it as one vtkPolyData with those points and every face of every hexahedron as a quad,
shared faces twice (6*N^3 polygons), so that the exporter writes the same geometry as
sceneport-bench's full export. A smooth per-node scalar goes through a lookup table, so the
exporter writes a colour per node (sceneport writes a texture coordinate per node instead).

The model is shown in a render window and drawn once; then only vtkVRMLExporter.Write() is
timed, R times, each into a fresh file in DIR (default: a temporary directory, removed at the
end). Every file written is counted (points, polygons, colours) against the model, and the
script fails if the exporter left anything out.

The render window needs a display: run it under `xvfb-run -a` where there is none (the window
is drawn offscreen, but VTK 9.1's X11 window still opens the display).

Prints `vtk  bytes  seconds  mb_per_s` (tab-separated with --porcelain): the size of the file,
the median of the R runs, and bytes / 10^6 / seconds.

Python from Debian (/usr/bin/python3): python3-vtk9 is installed for it (scripts/install-deps).
It uses no numpy, which python3-vtk9 does not bring: the model is filled through Python's
array module and the buffer protocol of VTK's arrays.
"""

import argparse
import array
import math
import os
import re
import resource
import shutil
import statistics
import sys
import tempfile
import time

try:
    from vtkmodules.vtkCommonCore import vtkFloatArray, vtkIdTypeArray, vtkLookupTable, vtkPoints
    from vtkmodules.vtkCommonDataModel import vtkCellArray, vtkPolyData
    from vtkmodules.vtkIOExport import vtkVRMLExporter
    from vtkmodules.vtkRenderingCore import vtkActor, vtkPolyDataMapper, vtkRenderer, vtkRenderWindow
    import vtkmodules.vtkRenderingOpenGL2  # noqa: F401  (the render window's implementation)
except ImportError as error:
    sys.exit(f"vtk_export_box: VTK's Python module is missing ({error}): "
             "install python3-vtk9 (scripts/install-deps does) and run with /usr/bin/python3")

# The six faces of a hexahedron, by its nodes' corners (di, dj, dk), each counter-clockwise
# seen from outside the cube: bottom, top, front (j=0), right (i=1), back (j=1), left (i=0).
FACES = (
    ((0, 0, 0), (0, 1, 0), (1, 1, 0), (1, 0, 0)),
    ((0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)),
    ((0, 0, 0), (1, 0, 0), (1, 0, 1), (0, 0, 1)),
    ((1, 0, 0), (1, 1, 0), (1, 1, 1), (1, 0, 1)),
    ((1, 1, 0), (0, 1, 0), (0, 1, 1), (1, 1, 1)),
    ((0, 1, 0), (0, 0, 0), (0, 0, 1), (0, 1, 1)),
)


def fill(vtk_array, values):
    """Copies a Python array.array into a VTK array of the same type and size."""
    target = memoryview(vtk_array).cast("B")
    source = memoryview(values).cast("B")
    if target.nbytes != source.nbytes:
        raise AssertionError(f"{vtk_array.GetClassName()}: {target.nbytes} bytes, values {source.nbytes}")
    target[:] = source


def box(n):
    """The box of n^3 hexahedra as a vtkPolyData: (n+1)^3 points, 6*n^3 quads, a scalar per
    point; and the scalar's range."""
    side = n + 1
    count = side ** 3

    coordinates = array.array("f", bytes(4 * 3 * count))
    scalars = array.array("f", bytes(4 * count))
    at = 0
    for k in range(side):
        for j in range(side):
            for i in range(side):
                coordinates[3 * at:3 * at + 3] = array.array("f", (i, j, k))
                # Any smooth function of the position: a wave across x and y, rising with z.
                scalars[at] = (math.sin(math.pi * i / n) * math.cos(math.pi * j / n)
                               + k / n)
                at += 1
    points = vtkPoints()
    points.SetDataTypeToFloat()
    points.SetNumberOfPoints(count)
    fill(points.GetData(), coordinates)
    del coordinates

    # Node numbers of each face corner relative to the hexahedron's first node (i, j, k).
    corners = [di + side * (dj + side * dk) for face in FACES for di, dj, dk in face]
    per_hex = len(corners)
    polygons = 6 * n ** 3
    connectivity = array.array("q", bytes(8 * 4 * polygons))
    at = 0
    for k in range(n):
        for j in range(n):
            row = side * (j + side * k)
            for i in range(n):
                first = row + i
                connectivity[at:at + per_hex] = array.array("q", [first + c for c in corners])
                at += per_hex
    assert at == len(connectivity)
    offsets = array.array("q", range(0, 4 * polygons + 1, 4))

    offset_array, connectivity_array = vtkIdTypeArray(), vtkIdTypeArray()
    offset_array.SetNumberOfValues(len(offsets))
    connectivity_array.SetNumberOfValues(len(connectivity))
    fill(offset_array, offsets)
    fill(connectivity_array, connectivity)
    del offsets, connectivity
    cells = vtkCellArray()
    cells.SetData(offset_array, connectivity_array)

    scalar_array = vtkFloatArray()
    scalar_array.SetName("field")
    scalar_array.SetNumberOfValues(count)
    fill(scalar_array, scalars)

    model = vtkPolyData()
    model.SetPoints(points)
    model.SetPolys(cells)
    model.GetPointData().SetScalars(scalar_array)
    return model, (min(scalars), max(scalars))


def scene(model, scalar_range):
    """A render window that shows the model with its scalar in a lookup table's colours."""
    table = vtkLookupTable()
    table.SetHueRange(0.667, 0.0)  # blue to red
    table.SetNumberOfTableValues(256)
    table.SetRange(*scalar_range)
    table.Build()
    mapper = vtkPolyDataMapper()
    mapper.SetInputData(model)
    mapper.SetLookupTable(table)
    mapper.SetScalarModeToUsePointData()
    mapper.ScalarVisibilityOn()
    mapper.SetScalarRange(*scalar_range)
    actor = vtkActor()
    actor.SetMapper(mapper)
    renderer = vtkRenderer()
    renderer.AddActor(actor)
    renderer.ResetCamera()
    window = vtkRenderWindow()
    window.SetOffScreenRendering(1)
    window.SetSize(640, 480)
    window.AddRenderer(renderer)
    return window


def block(text, name, start):
    """Where the list after `name [` begins and ends (its `]`), from `start` on: (-1, start)
    when the file has no such list."""
    match = re.compile(rb"\b" + name + rb"\s*\[").search(text, start)
    if match is None:
        return -1, start
    return match.end(), text.index(b"]", match.end())


def written_counts(path):
    """Points, polygons and colours in the file vtkVRMLExporter wrote: the polygons are the -1
    that end each face in coordIndex (its other numbers are point numbers, never negative); the
    exporter ends each point and each colour with a comma."""
    with open(path, "rb") as file:
        text = file.read()

    def count(what, name, start=0):
        begin, end = block(text, name, start)
        return (0 if begin < 0 else text.count(what, begin, end)), end

    points, after_points = count(b",", rb"point")
    return {
        "points": points,
        "polygons": count(b"-1", rb"coordIndex")[0],
        "colours": count(b",", rb"color", after_points)[0],
        "IndexedFaceSet": text.count(b"IndexedFaceSet"),
    }


def check(path, n):
    expected = {"points": (n + 1) ** 3, "polygons": 6 * n ** 3, "colours": (n + 1) ** 3,
                "IndexedFaceSet": 1}
    found = written_counts(path)
    wrong = [f"{key}: the model has {expected[key]}, the file holds {found[key]}"
             for key in expected if found[key] != expected[key]]
    if wrong:
        sys.exit(f"vtk_export_box: vtkVRMLExporter did not write the whole model at N={n} "
                 f"({path}):\n  " + "\n  ".join(wrong))


def peak_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def positive(text):
    value = int(text)
    if value < 1:
        raise argparse.ArgumentTypeError(f"{text}: must be at least 1")
    return value


def main():
    parser = argparse.ArgumentParser(description="Times vtkVRMLExporter on sceneport-bench's box model.")
    parser.add_argument("--size", type=positive, default=100, help="N: the box has N^3 hexahedra (default 100)")
    parser.add_argument("--runs", type=positive, default=3, help="R: timed exports, the median is printed (default 3)")
    parser.add_argument("--dir", help="scratch directory for the files (default: a temporary one, removed)")
    parser.add_argument("--porcelain", action="store_true", help="one tab-separated line: vtk bytes seconds mb_per_s")
    parser.add_argument("--keep", action="store_true", help="keep the last file written (in --dir)")
    options = parser.parse_args()
    if options.keep and not options.dir:
        parser.error("--keep needs --dir: the default scratch directory is removed")
    n = options.size
    if not os.environ.get("DISPLAY"):
        sys.exit("vtk_export_box: no X display (DISPLAY is not set), which VTK 9.1's render window "
                 "needs: run it under `xvfb-run -a` (package xvfb, scripts/install-deps installs it)")

    scratch = options.dir or tempfile.mkdtemp(prefix="vtk-export-box.")
    os.makedirs(scratch, exist_ok=True)
    path = os.path.join(scratch, f"vtk-box-{n}.wrl")
    try:
        started = time.perf_counter()
        model, scalar_range = box(n)
        built = time.perf_counter() - started
        peak_built = peak_mib()
        window = scene(model, scalar_range)
        started = time.perf_counter()
        window.Render()
        drawn = time.perf_counter() - started
        peak_drawn = peak_mib()

        seconds = []
        size = 0
        for _ in range(options.runs):
            if os.path.exists(path):
                os.remove(path)
            exporter = vtkVRMLExporter()
            exporter.SetRenderWindow(window)
            exporter.SetFileName(path)
            started = time.perf_counter()
            exporter.Write()
            seconds.append(time.perf_counter() - started)
            size = os.path.getsize(path)
            check(path, n)
        median = statistics.median(seconds)
        rate = size / 1e6 / median if median > 0 else 0.0
        if options.porcelain:
            print(f"vtk\t{size}\t{median:.6f}\t{rate:.3f}")
        else:
            print(f"vtk: N={n}, {(n + 1) ** 3} points, {6 * n ** 3} polygons: {size} bytes, "
                  f"Write() median {median:.3f} s of {options.runs} "
                  f"({', '.join(f'{s:.3f}' for s in seconds)}), {rate:.1f} MB/s")
            print(f"     (not timed: model built in {built:.1f} s, first render {drawn:.1f} s; "
                  f"peak RSS of the process {peak_built:.0f} MiB once built, {peak_drawn:.0f} MiB "
                  f"once drawn, {peak_mib():.0f} MiB at the end)")
    finally:
        if not options.keep and os.path.exists(path):
            os.remove(path)
        if not options.dir:
            shutil.rmtree(scratch, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
