#!/usr/bin/env bash
# Checks what the build tree installs: the files a staged install (DESTDIR) puts where, the
# desktop entry, the program's --help, and that the template type is recognised.
# With --install (as root) it also builds the Debian package, checks its fields and contents,
# installs it with apt-get, runs the installed programs and removes the package again.
#   bash scripts/check-package.sh BUILD_DIR [--install]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build directory}" && pwd)
install=${2:-}
type=application/x-formconstructor-rpt
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }
# The type the desktop's query finds for a file, with the MIME database of $1.
filetype() {
    env -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION XDG_DATA_HOME="$1" XDG_DATA_DIRS=/usr/share \
        xdg-mime query filetype "$2"
}
expect_type() { # database file type
    local got
    got=$(filetype "$1" "$2")
    [ "$got" = "$3" ] || fail "$(basename "$2") is $got, not $3"
}

# ---- staged install
stage=$scratch/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
expected=$scratch/expected
{
    printf '%s\n' usr/bin/formconstructor usr/bin/rptool \
        usr/share/applications/formconstructor.desktop \
        usr/share/icons/hicolor/scalable/apps/formconstructor.svg \
        usr/share/mime/packages/formconstructor.xml \
        usr/share/doc/formconstructor/README.md
    (cd "$root/demo/templates" && find . -type f | sed 's|^\./|usr/share/doc/formconstructor/examples/|')
} | sort >"$expected"
(cd "$stage" && find . -type f -o -type l | sed 's|^\./||' | sort) >"$scratch/installed"
diff -u "$expected" "$scratch/installed" || fail "the staged install holds other files than expected"

desktop=$stage/usr/share/applications/formconstructor.desktop
desktop-file-validate "$desktop" || fail "the desktop entry does not validate"
grep -qx 'Exec=formconstructor --start --open %f' "$desktop" || fail "desktop entry: Exec"
grep -qx "MimeType=$type;" "$desktop" || fail "desktop entry: MimeType"
grep -qx 'Name=Констpуктоp форм' "$desktop" || fail "desktop entry: Name"

# (Whole outputs into variables: a pipe into grep -q would cut the writer off under pipefail.)
help=$("$stage/usr/bin/formconstructor" --help) && [[ $help == *--open* ]] || fail "formconstructor --help"
"$stage/usr/bin/rptool" --help >/dev/null || fail "rptool --help"

# ---- the template type, in a scratch database
data=$scratch/data
mkdir -p "$data/mime/packages" "$scratch/files"
cp "$stage/usr/share/mime/packages/formconstructor.xml" "$data/mime/packages/"
XDG_DATA_HOME=$data update-mime-database "$data/mime"
expect_type "$data" "$root/demo/templates/balance.rpt" "$type"
expect_type "$data" "$root/demo/templates/cash-statement.rpt" "$type"
# Without the extension the first lines tell a template from other text.
cp "$root/demo/templates/balance-turbo.rpt" "$scratch/files/balance"
cp "$root/demo/templates/cash-statement.rpt" "$scratch/files/cash"
printf 'Plain notes\r\nof no template\r\n' >"$scratch/files/notes"
expect_type "$data" "$scratch/files/balance" "$type"
expect_type "$data" "$scratch/files/cash" "$type"
expect_type "$data" "$scratch/files/notes" text/plain
echo "staged install: $(wc -l <"$expected") files, desktop entry valid, $type recognised"

[ "$install" = "--install" ] || exit 0

# ---- the Debian package
rm -f "$build"/formconstructor_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/formconstructor_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = formconstructor ] || fail "package name"
depends=$(field Depends)
for dep in libqt6widgets6 libqt6printsupport6 qt6-translations-l10n fonts-liberation xdg-utils; do
    [[ $depends == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done
[[ $(field Description) == *"Дизайнер шаблонов отчётов"* ]] || fail "no Russian description"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' | grep -v '/$' | sort >"$scratch/packaged"
diff -u "$expected" "$scratch/packaged" || fail "the package holds other files than the install"
echo "package: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB; Depends: $depends"

[ "$(id -u)" -eq 0 ] || fail "--install needs root"
remove() { DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq --purge formconstructor >/dev/null; }
trap 'remove || true; rm -rf "$scratch"' EXIT
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$deb" >/dev/null
help=$(formconstructor --help) && [[ $help == *--start* ]] || fail "installed formconstructor --help"
rptool --help >/dev/null || fail "installed rptool --help"
desktop-file-validate /usr/share/applications/formconstructor.desktop ||
    fail "the installed desktop entry does not validate"
# The package's triggers have brought the system's MIME database up to date.
expect_type "$scratch/none" "$root/demo/templates/balance.rpt" "$type"
remove
trap 'rm -rf "$scratch"' EXIT
[ ! -e /usr/bin/formconstructor ] && [ ! -e /usr/share/mime/packages/formconstructor.xml ] ||
    fail "files left after removing the package"
expect_type "$scratch/none" "$root/demo/templates/balance.rpt" text/plain
echo "package installed, run and removed"
