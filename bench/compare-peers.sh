#!/usr/bin/env bash
# Our export against a peer's on the same model: sceneport-bench's full export of its box of
# N^3 hexahedra, and VTK's VRML exporter (vtkVRMLExporter) on the same box (vtk_export_box.py
# beside this script: the same points, every face of every hexahedron, a colour per node).
#
#   bench/compare-peers.sh [--size N] [--runs R]     (defaults: N=100, R=3)
#
# Prints each one's porcelain line, then the ratio of VTK's median time to Sceneport's and the
# size of each file. Both write into one temporary directory, removed at the end.
#
# Environment: SCENEPORT_BENCH, the bench program (default ../build/bin/sceneport-bench from
# this script). VTK runs under Debian's /usr/bin/python3 (python3-vtk9) on a display of its
# own (xvfb-run): scripts/install-deps installs both.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
bench=${SCENEPORT_BENCH:-$root/build/bin/sceneport-bench}
vtk_script=$here/vtk_export_box.py
python=/usr/bin/python3

die() { echo "compare-peers: $*" >&2; exit 1; }
usage() { echo "usage: bench/compare-peers.sh [--size N] [--runs R]" >&2; exit 2; }

size=100
runs=3
while (($#)); do
  case $1 in
    --size) (($# >= 2)) || usage; size=$2; shift 2 ;;
    --size=*) size=${1#*=}; shift ;;
    --runs) (($# >= 2)) || usage; runs=$2; shift 2 ;;
    --runs=*) runs=${1#*=}; shift ;;
    -h | --help) usage ;;
    *) echo "compare-peers: unknown argument: $1" >&2; usage ;;
  esac
done
[[ $size =~ ^[1-9][0-9]*$ ]] || die "--size must be a positive whole number, not '$size'"
[[ $runs =~ ^[1-9][0-9]*$ ]] || die "--runs must be a positive whole number, not '$runs'"

# Everything that can be missing, before anything runs.
[[ -x $bench ]] || die "$bench not found or not executable: build first: make build (or set SCENEPORT_BENCH)"
command -v xvfb-run >/dev/null \
  || die "xvfb-run not found: it is in Debian's package xvfb (with xauth); scripts/install-deps installs them"
[[ -x $python ]] || die "$python not found: VTK's module python3-vtk9 is for Debian's python3; scripts/install-deps installs it"
"$python" -c 'import vtkmodules.vtkIOExport, vtkmodules.vtkRenderingOpenGL2' 2>/dev/null \
  || die "VTK's Python module is missing for $python: install python3-vtk9 (scripts/install-deps installs it)"
[[ -r $vtk_script ]] || die "$vtk_script not found"

work=$(mktemp -d "${TMPDIR:-/tmp}/compare-peers.XXXXXX")
trap 'rm -rf "$work"' EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
mkdir "$work/sceneport" "$work/vtk"

# The bench's line for the full export: export bytes seconds mb_per_s peak_mib baseline_bytes
# baseline_seconds ratio.
echo "compare-peers: N=$size, $runs runs each; Sceneport's full export ($bench)..." >&2
ours=$("$bench" --size "$size" --runs "$runs" --exports full --porcelain --dir "$work/sceneport") \
  || die "$bench failed (exit $?)"
full=$(awk -F'\t' '$1 == "full"' <<<"$ours")
[[ -n $full ]] || die "$bench printed no line for the full export; it printed:"$'\n'"$ours"
IFS=$'\t' read -r _ our_bytes our_seconds _ <<<"$full"

echo "compare-peers: VTK's vtkVRMLExporter on the same box..." >&2
# Xvfb's default screen is 8 bits deep; VTK's OpenGL window wants a true-colour one.
theirs=$(xvfb-run -a -s "-screen 0 1280x1024x24" "$python" "$vtk_script" \
           --size "$size" --runs "$runs" --porcelain --dir "$work/vtk") \
  || die "$vtk_script failed (exit $?)"
vtk=$(awk -F'\t' '$1 == "vtk"' <<<"$theirs")
[[ -n $vtk ]] || die "$vtk_script printed no result line; it printed:"$'\n'"$theirs"
IFS=$'\t' read -r _ vtk_bytes vtk_seconds _ <<<"$vtk"

for value in "$our_bytes" "$our_seconds" "$vtk_bytes" "$vtk_seconds"; do
  [[ $value =~ ^[0-9]+(\.[0-9]*)?([eE][-+]?[0-9]+)?$ ]] \
    || die "not a number in the results: '$value'"$'\n'"$full"$'\n'"$vtk"
done

printf '%s\n' "$full" "$vtk"
awk -v n="$size" -v runs="$runs" \
    -v ob="$our_bytes" -v os="$our_seconds" -v vb="$vtk_bytes" -v vs="$vtk_seconds" 'BEGIN {
  printf "Sceneport full export: %d bytes, %.3f s (median of %d)\n", ob, os, runs
  printf "VTK vtkVRMLExporter:   %d bytes, %.3f s (median of %d)\n", vb, vs, runs
  if (os > 0)
    printf "VTK'"'"'s exporter takes %.1f× as long as Sceneport'"'"'s full export (N=%d)\n", vs / os, n
  else
    printf "Sceneport'"'"'s full export took no measurable time at N=%d: no ratio\n", n
  if (ob > 0)
    printf "VTK'"'"'s file is %.2f× the size of Sceneport'"'"'s\n", vb / ob
}'
