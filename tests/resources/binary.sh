# Reading binary files in the resource checks: little-endian unsigned numbers (u8/u16/u32 FILE
# OFFSET), bytes (bytes FILE OFFSET COUNT), and whether a PNG file starts there (is_png FILE OFFSET).
u8() { od -An -v -tu1 -j "$2" -N 1 "$1" | tr -d ' '; }
u16() { od -An -v -tu2 -j "$2" -N 2 "$1" | tr -d ' '; }
u32() { od -An -v -tu4 -j "$2" -N 4 "$1" | tr -d ' '; }
bytes() { dd if="$1" bs=64K iflag=skip_bytes,count_bytes skip="$2" count="$3" status=none; }
is_png() { [ "$(od -An -v -tx1 -j "$2" -N 8 "$1" | tr -d ' ')" = 89504e470d0a1a0a ]; }
