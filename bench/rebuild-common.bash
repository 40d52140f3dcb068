# Shared by rebuild-memory.sh and rebuild-stop.sh: the build to use, and a save folder `$work/myText`
# holding a 200 MB GBK text file and a small one (removed at exit).
build=${NOTAVO_BENCH_BUILD:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/myText"
line=$(printf '大文件中的一行文字，含 ASCII text 与汉字。\r\n' | iconv -f UTF-8 -t GBK)
yes "$line" | head -c $((200 * 1024 * 1024)) >"$work/myText/大文件.txt" || true
printf '小' | iconv -f UTF-8 -t GBK >"$work/myText/小.txt"
