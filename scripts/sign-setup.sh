#!/bin/bash
# Signs a built setup with an Authenticode signature (Debian's osslsigncode) and writes the signed
# copy; the unsigned exe is left as it is, so the build's own output stays reproducible.
#
# usage: sign-setup.sh [--timestamp URL] [--old-systems] [--old-systems-pkcs12 FILE]
#                      <certificate.p12> <unsigned.exe> <signed.exe>
#
# The PKCS#12 file's password is read from the file named by TESSO_SIGN_PASSWORD_FILE, or else from
# TESSO_SIGN_PASSWORD. It is handed to osslsigncode through a file or its standard input, never as
# an argument, so it shows neither in the process list nor in a build log.
#
#   --timestamp URL   a timestamp server: the signature then stays valid after the certificate expires.
#   --old-systems     also a SHA-1 signature, for Windows XP before SP3 and older systems, which know
#                     no SHA-256. They read only a file's first signature and ignore a nested one
#                     (later systems read both), so the SHA-1 one comes first and the SHA-256 one is
#                     nested inside it.
#   --old-systems-pkcs12 FILE
#                     the certificate for that SHA-1 signature (same password), when the SHA-256 one is
#                     itself signed with SHA-256, which those systems cannot check either.
set -eu
description="Tesso Chinese Input Engine Setup"  # shown by the UAC prompt as the program's name
timestamp="" old_systems=0 old_pkcs12=""
while [ $# -gt 0 ]; do
    case $1 in
        --timestamp) timestamp=$2; shift 2 ;;
        --old-systems) old_systems=1; shift ;;
        --old-systems-pkcs12) old_systems=1; old_pkcs12=$2; shift 2 ;;
        -*) echo "sign-setup.sh: unknown option $1" >&2; exit 2 ;;
        *) break ;;
    esac
done
if [ $# -ne 3 ]; then
    sed -n '5,6p' "$0" | sed 's/^# //' >&2
    exit 2
fi
pkcs12=$1 unsigned=$2 signed=$3
[ -n "$old_pkcs12" ] || old_pkcs12=$pkcs12
for file in "$pkcs12" "$old_pkcs12" "$unsigned"; do
    [ -r "$file" ] || { echo "sign-setup.sh: cannot read $file" >&2; exit 1; }
done
if [ -n "${TESSO_SIGN_PASSWORD_FILE:-}" ]; then
    [ -r "$TESSO_SIGN_PASSWORD_FILE" ] ||
        { echo "sign-setup.sh: cannot read TESSO_SIGN_PASSWORD_FILE" >&2; exit 1; }
elif [ -z "${TESSO_SIGN_PASSWORD+set}" ]; then
    echo "sign-setup.sh: set TESSO_SIGN_PASSWORD_FILE (a file holding the password) or TESSO_SIGN_PASSWORD" >&2
    exit 1
fi

# One signature: certificate, digest, the timestamp option for it, input, output. osslsigncode
# drops a trailing line end from what it reads as the password.
sign_once() {
    local certificate=$1 digest=$2 stamp=$3 in=$4 out=$5
    shift 5
    local args=(sign -pkcs12 "$certificate" -h "$digest" -n "$description" "$@")
    [ -z "$timestamp" ] || args+=("$stamp" "$timestamp")
    if [ -n "${TESSO_SIGN_PASSWORD_FILE:-}" ]; then
        osslsigncode "${args[@]}" -readpass "$TESSO_SIGN_PASSWORD_FILE" -in "$in" -out "$out" >/dev/null
    else
        # printf is a shell builtin: the password is never any process's argument.
        printf '%s' "$TESSO_SIGN_PASSWORD" |
            osslsigncode "${args[@]}" -readpass - -in "$in" -out "$out" >/dev/null
    fi
}

# Written beside the target and moved into place, so a failure leaves no half-signed file.
work=$(mktemp -d "$(dirname "$signed")/.signing-XXXXXX")
trap 'rm -rf "$work"' EXIT
if [ $old_systems -eq 1 ]; then
    # The old systems know only the original Authenticode timestamp (-t), not RFC 3161 (-ts).
    sign_once "$old_pkcs12" sha1 -t "$unsigned" "$work/sha1.exe"
    sign_once "$pkcs12" sha256 -ts "$work/sha1.exe" "$work/signed.exe" -nest
else
    sign_once "$pkcs12" sha256 -ts "$unsigned" "$work/signed.exe"
fi
chmod --reference="$unsigned" "$work/signed.exe"
mv "$work/signed.exe" "$signed"
echo "signed: $signed"
