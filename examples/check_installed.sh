#!/usr/bin/env bash
# The library as a front end gets it: installs the build into a temporary prefix, checks that the
# public headers stand on their own (every one compiles with only the installed headers, and none
# reaches <sqlite3.h>, libpq, Cairo or Pango), then builds the example front end against the
# installed CMake package and against the pkg-config file, and runs both on a new report database.
#   examples/check_installed.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
prefix=$(mktemp -d /tmp/mz_install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
include="$prefix/include/mzreportbus"
if grep -rlE '#include [<"](sqlite3|libpq-fe|cairo|pango/[a-z]+)\.h' "$include"; then
    echo "FAILED: a public header includes the engine's own header" >&2
    exit 1
fi
(cd "$include" && find . -name '*.h' | sort | sed 's|^\./\(.*\)|#include "\1"|') >"$prefix/all.cpp"
c++ -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I"$include" "$prefix/all.cpp"

cmake -S examples/front_end -B "$prefix/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$prefix/cmake-build" >/dev/null
export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
# shellcheck disable=SC2046
c++ -std=c++20 examples/front_end/main.cpp -o "$prefix/pc-front-end" \
    $(pkg-config --cflags --libs mzreportbus) -Wl,-rpath,"$(pkg-config --variable=libdir mzreportbus)"

"$prefix/bin/mzreport" init "$prefix/r.db" >/dev/null
[ "$("$prefix/bin/mzreport" report "$prefix/r.db" new)" = 1 ]
for front_end in "$prefix/cmake-build/receipts_front_end" "$prefix/pc-front-end"; do
    out=$("$front_end" "$prefix/r.db" 1)
    echo "$out" | grep -q "^saved receipt [0-9]* from Rivera, Ana$" || { echo "$out"; exit 1; }
done
out=$("$prefix/cmake-build/receipts_front_end" "$prefix/r.db" 1)
echo "$out" | grep -q "^report 1: 3 receipt(s)$" || { echo "$out"; exit 1; }
echo "installed library: headers, CMake package, pkg-config file and the example front end ok"
