# Reading binary files in the resource checks: little-endian unsigned numbers (u8/u16/u32 FILE
# OFFSET), bytes (bytes FILE OFFSET COUNT), whether a PNG file starts there (is_png FILE OFFSET),
# and an .ico file's directory (ico_directory FILE).
u8() { od -An -v -tu1 -j "$2" -N 1 "$1" | tr -d ' '; }
u16() { od -An -v -tu2 -j "$2" -N 2 "$1" | tr -d ' '; }
u32() { od -An -v -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }
bytes() { dd if="$1" bs=64K iflag=skip_bytes,count_bytes skip="$2" count="$3" status=none; }
is_png() { [ "$(od -An -v -tx1 -j "$2" -N 8 "$1" | tr -d ' ')" = 89504e470d0a1a0a ]; }

# One line an image of the .ico: width height bits png|bmp (0 stands for 256 pixels and more).
ico_directory() {
  local file=$1 i entry kind
  for ((i = 0; i < $(u16 "$file" 4); i++)); do
    entry=$((6 + 16 * i))
    kind=bmp
    if is_png "$file" "$(u32 "$file" $((entry + 12)))"; then kind=png; fi
    echo "$(u8 "$file" "$entry") $(u8 "$file" $((entry + 1))) $(u16 "$file" $((entry + 6))) $kind"
  done
}
