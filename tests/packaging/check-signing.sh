#!/bin/bash
# Signs both shipped exes with a throw-away certificate authority made here (nothing secret is kept
# anywhere) and checks the result: osslsigncode accepts the signatures, the password never shows in
# an argument or in the output, signing leaves the unsigned exe as it was and changes nothing of it
# but the two header fields that locate and sum the appended signature, and a signed exe with one
# payload byte changed afterwards is refused. Leaves the signed exes, and that changed one, in the
# work folder for the Wine tests.
# usage: check-signing.sh <source folder> <win-i686 exe> <win-x86_64 exe> <payload folder> <work folder>
set -eu
source_dir=$1 exe32=$2 exe64=$3 payloads=$4 work=$5
rm -rf "$work"
mkdir -p "$work/ca" "$work/shim" "$work/win-i686" "$work/win-x86_64" "$work/changed"

# --- a throw-away authority and a code-signing certificate, valid for two days ---------------------
ca=$work/ca
password="throw-away-$RANDOM-$RANDOM"
printf '%s\n' "$password" >"$ca/password"  # with the line end an editor leaves
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$ca/ca.key" -out "$ca/ca.pem" -days 2 \
    -subj "/CN=Tesso Throw-away Test CA" -addext "basicConstraints=critical,CA:true" \
    -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout "$ca/signer.key" -out "$ca/signer.csr" \
    -subj "/CN=Tesso Throw-away Test Signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' \
    >"$ca/signer.ext"
openssl x509 -req -in "$ca/signer.csr" -CA "$ca/ca.pem" -CAkey "$ca/ca.key" -CAcreateserial -days 2 \
    -extfile "$ca/signer.ext" -out "$ca/signer.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$ca/signer.key" -in "$ca/signer.pem" -certfile "$ca/ca.pem" \
    -out "$ca/signer.p12" -passout "file:$ca/password"
rm "$ca/ca.key" "$ca/signer.key"

# --- sign, with osslsigncode's arguments recorded -------------------------------------------------
real=$(command -v osslsigncode)
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\nexec "%s" "$@"\n' "$work/shim/arguments" "$real" \
    >"$work/shim/osslsigncode"
chmod +x "$work/shim/osslsigncode"
before32=$(sha256sum <"$exe32") before64=$(sha256sum <"$exe64")
sign=$source_dir/scripts/sign-setup.sh
# The shipped 32-bit exe for the oldest systems too (SHA-1 first, SHA-256 nested), its password
# from a file; the 64-bit twin with SHA-256 alone, its password from the environment.
PATH=$work/shim:$PATH TESSO_SIGN_PASSWORD_FILE=$ca/password \
    "$sign" --old-systems "$ca/signer.p12" "$exe32" "$work/win-i686/TessoSetup.exe" >"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
PATH=$work/shim:$PATH TESSO_SIGN_PASSWORD=$password \
    "$sign" "$ca/signer.p12" "$exe64" "$work/win-x86_64/TessoSetup.exe" >>"$work/log" 2>&1 ||
    { cat "$work/log"; exit 1; }
cat "$work/log"
if grep -qF -- "$password" "$work/shim/arguments" "$work/log"; then
    echo "the password shows in osslsigncode's arguments or in the output"
    exit 1
fi
[ "$(sha256sum <"$exe32")" = "$before32" ] && [ "$(sha256sum <"$exe64")" = "$before64" ] ||
    { echo "signing changed the unsigned exe"; exit 1; }

# --- the signatures are accepted, the old systems' one first --------------------------------------
signatures() {  # the digests of a file's signatures, in order
    osslsigncode verify -CAfile "$ca/ca.pem" -in "$1" >"$work/verify" 2>&1 ||
        { cat "$work/verify"; echo "osslsigncode refuses $1"; return 1; }
    grep -oP '^Message digest algorithm\s+:\s*\K\S+' "$work/verify" | tr '\n' ' '
}
digests=$(signatures "$work/win-i686/TessoSetup.exe")
[ "$digests" = "SHA1 SHA256 " ] || { echo "win-i686: signatures $digests, not SHA1 then SHA256"; exit 1; }
digests=$(signatures "$work/win-x86_64/TessoSetup.exe")
[ "$digests" = "SHA256 " ] || { echo "win-x86_64: signatures $digests, not SHA256"; exit 1; }
echo "osslsigncode accepts both signed exes"

# --- nothing of the unsigned exe changes but the checksum and the signature's directory entry -----
same_but_signature() {
    local unsigned=$1 signed=$2 objdump=$3
    local size pe magic checksum security differing offset
    size=$(stat -c %s "$unsigned")
    pe=$(od -An -tu4 -j60 -N4 "$unsigned" | tr -d ' ')
    magic=$(od -An -tx2 -j$((pe + 24)) -N2 "$unsigned" | tr -d ' ')
    checksum=$((pe + 24 + 64))
    security=$((pe + 24 + 128))  # data directory 4 of a PE32 header
    [ "$magic" != 020b ] || security=$((security + 16))  # a PE32+ one (64-bit) has wider fields before it
    [ "$(stat -c %s "$signed")" -gt "$size" ] || { echo "$signed: no signature appended"; return 1; }
    differing=0
    while read -r offset _ _; do
        offset=$((offset - 1))
        if ! { [ $offset -ge $checksum ] && [ $offset -lt $((checksum + 4)) ]; } &&
            ! { [ $offset -ge $security ] && [ $offset -lt $((security + 8)) ]; }; then
            echo "$signed: byte $offset differs from the unsigned exe"
            return 1
        fi
        differing=$((differing + 1))
    done < <(cmp -l -n "$size" "$unsigned" "$signed" || true)
    # The resource section, payloads and all, is the same bytes at the same place.
    read -r rsrc_size rsrc_offset < <($objdump -h "$unsigned" | awk '$2 == ".rsrc" { print $3, $6 }')
    cmp -s -i $((0x$rsrc_offset)):$((0x$rsrc_offset)) -n $((0x$rsrc_size)) "$unsigned" "$signed" ||
        { echo "$signed: its resources differ"; return 1; }
    echo "$signed: the unsigned exe's $size bytes with $differing header bytes changed," \
        "$((0x$rsrc_size)) bytes of resources identical"
}
same_but_signature "$exe32" "$work/win-i686/TessoSetup.exe" i686-w64-mingw32-objdump
same_but_signature "$exe64" "$work/win-x86_64/TessoSetup.exe" x86_64-w64-mingw32-objdump

# --- one byte of a payload changed after signing ----------------------------------------------------
# The middle of payload 106's packed stream, found in the file by its own bytes.
stream=$payloads/106.z
needle=$(tail -c +$(($(stat -c %s "$stream") / 2)) "$stream" | head -c 32 | od -An -tx1 -v |
    tr -d '\n' | sed 's/ /\\x/g')
changed=$work/changed/TessoSetup.exe
cp "$work/win-x86_64/TessoSetup.exe" "$changed"
mapfile -t found < <(LC_ALL=C grep -obUaP "$needle" "$changed" | cut -d: -f1)
[ ${#found[@]} -eq 1 ] || { echo "payload 106 found ${#found[@]} times in the signed exe"; exit 1; }
byte=$(od -An -tu1 -j"${found[0]}" -N1 "$changed" | tr -d ' ')
printf "\\x$(printf %02x $((byte ^ 0x55)))" | dd of="$changed" bs=1 seek="${found[0]}" conv=notrunc status=none
cmp -s "$changed" "$work/win-x86_64/TessoSetup.exe" && { echo "the byte was not changed"; exit 1; }
if osslsigncode verify -CAfile "$ca/ca.pem" -in "$changed" >"$work/verify" 2>&1; then
    cat "$work/verify"
    echo "osslsigncode accepts a signed exe changed afterwards"
    exit 1
fi
echo "osslsigncode refuses the signed exe with byte ${found[0]} (payload 106) changed"
