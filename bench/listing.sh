#!/usr/bin/env bash
# listing: one click on a category node of the history window, with 100,000 and with
# 1,000,000 rows in the table, until the grid shows the count; against the sqlite3
# command-line client selecting the same rows to /dev/null. Prints the worse ratio last.
set -euo pipefail
build=${NOTAVO_BENCH_BUILD:-$(cd "$(dirname "$0")/.." && pwd)/build-bench}
program=$build/bench/listing_bench
export QT_QPA_PLATFORM=offscreen
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_table() {
    sqlite3 "$1" "CREATE TABLE filedata (\"文件名\" TEXT, \"大小\" TEXT, \"类别\" TEXT, \"记录时间\" TEXT, \"存放地址\" TEXT, \"资料来源\" TEXT);
WITH RECURSIVE c(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM c WHERE i < $2)
INSERT INTO filedata SELECT '记录标题' || i, CAST(i % 5000 AS TEXT),
  CASE i % 10 WHEN 0 THEN '默认文本' WHEN 1 THEN '学习资料' WHEN 2 THEN '论文' WHEN 3 THEN '小说'
  WHEN 4 THEN '故事' WHEN 5 THEN '寓言' WHEN 6 THEN '新闻' WHEN 7 THEN '数据' WHEN 8 THEN '短句' ELSE '其它' END,
  date('now', '-' || (i % 1500) || ' days'), '/home/user/Notavo/myText/',
  'https://www.example.com/articles/' || i || '.html' FROM c;"
}

now() { date +%s.%N; }

# The fastest of three runs of each side, so that a busy machine does not decide the figure.
best_ratio() {
    local db=$1 ours=1000 theirs=1000 t start count
    for _ in 1 2 3; do
        read -r t count < <("$program" "$db" 小说 2>/dev/null)
        ours=$(echo "if ($t < $ours) $t else $ours" | bc -l)
        start=$(now)
        sqlite3 "$db" "SELECT * FROM filedata WHERE \"类别\" = '小说'" >/dev/null
        t=$(echo "$(now) - $start" | bc -l)
        theirs=$(echo "if ($t < $theirs) $t else $theirs" | bc -l)
    done
    printf '%s rows: Notavo %.3fs (%s), sqlite3 %.3fs\n' "$2" "$ours" "$count" "$theirs" >&2
    echo "$ours / $theirs" | bc -l
}

worst=0
for rows in 100000 1000000; do
    make_table "$work/rows$rows.db" "$rows"
    ratio=$(best_ratio "$work/rows$rows.db" "$rows")
    worst=$(echo "if ($ratio > $worst) $ratio else $worst" | bc -l)
    rm -f "$work/rows$rows.db"
done
printf 'listing: %.2fx sqlite3 (target <= 3x)\n' "$worst"
