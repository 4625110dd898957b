#!/usr/bin/env bash
# The program installed into a prefix made read-only: cmake --install puts
# the program, its files, the desktop entry, the icon and the Python module
# in place; from the prefix, a window-less batch, --check and the module work
# from another directory, the batch's outputs land in that directory and not
# one file under the prefix changes (checked by listing, since root ignores
# the missing write bits).
#
# Usage: installedReadOnlyTest.sh BUILD_DIR
set -euo pipefail

build=$1
tmp=$(mktemp -d /tmp/rootweaver-install.XXXXXX)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null

data=$prefix/share/rootweaver
# Fails unless every file named is there and not empty.
present() { for file; do [ -s "$file" ] || { echo "missing: $file"; exit 1; }; done; }
(cd "$prefix" && present bin/rootweaver share/rootweaver/resources/Daduz.tga \
  "share/rootweaver/Shared Functions/cubicz.func" share/rootweaver/examples/sweep.blam \
  share/rootweaver/examples/slurm-sweep.sh share/applications/rootweaver.desktop \
  share/pixmaps/rootweaver.png)
grep -qx "Icon=rootweaver" "$prefix/share/applications/rootweaver.desktop"
# A 64 x 64 PNG: the signature, then the header chunk's width and height.
[ "$(head -c 24 "$prefix/share/pixmaps/rootweaver.png" | od -An -tx1 | tr -d ' \n')" = \
  89504e470d0a1a0a0000000d494844520000004000000040 ]

# The Python module, when the build made one: in the interpreter's
# site-packages below the prefix, from where it imports and computes.
python=""
if compgen -G "$build/python/rootweaver*.so" > /dev/null; then
  module=$(cd "$prefix" && find . -path '*-packages/rootweaver*.so')
  [ -n "$module" ] || { echo "missing: the Python module in a site-packages folder"; exit 1; }
  python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
  site=$prefix/$(dirname "${module#./}")
fi

chmod -R a-w "$prefix"
listing() { (cd "$prefix" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(listing)

mkdir "$tmp/work" "$tmp/home"
cd "$tmp/work"
export HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config
"$prefix/bin/rootweaver" --version | grep -qx "rootweaver [0-9]*\.[0-9]*\.[0-9]*"
"$prefix/bin/rootweaver" --batch "$data/examples/sweep.blam" > trace.txt
present results/sweep-fractal-1.tga results/sweep-fractal-3.tga results/sweep-dims.txt \
  results/sweep-fractal-data.txt
"$prefix/bin/rootweaver" --check cubicz.func > check.txt
grep -q "^cubicz.func" check.txt
"$prefix/bin/rootweaver" --batch "$data/examples/sweep.blam" --output-dir elsewhere > /dev/null
present elsewhere/results/sweep-fractal-2.tga

if [ -n "$python" ]; then
  PYTHONPATH=$site PYTHONDONTWRITEBYTECODE=1 "$python" -c "import rootweaver
assert rootweaver.__file__.startswith('$site/')
assert rootweaver.basins(rootweaver.Function(text='f(z) = z^3 - 1'), size=8).rgb.shape == (8, 8, 3)"
fi

[ "$before" = "$(listing)" ] || { echo "files under the prefix changed"; exit 1; }
[ ! -e "$tmp/config" ] && [ -z "$(ls -A "$tmp/home")" ]
echo "the installed program ran from its read-only prefix and wrote only here"
