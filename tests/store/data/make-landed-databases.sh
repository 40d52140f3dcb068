#!/usr/bin/env bash
# Makes landed-filelist.db and landed-filesearch.db: a record database and a search index as
# the release before schema versions wrote them (its exact statements, run through the sqlite3
# shell). Three records under the folder /landed/myText/; the third was deleted and its entry
# number given to a fourth, so the third's words 蝴蝶 are still filed under the fourth's number.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
rm -f "$here/landed-filelist.db" "$here/landed-filesearch.db"

sqlite3 "$here/landed-filelist.db" <<'SQL'
CREATE TABLE IF NOT EXISTS filedata ("文件名" TEXT, "大小" TEXT, "类别" TEXT, "记录时间" TEXT, "存放地址" TEXT, "资料来源" TEXT);
INSERT INTO filedata VALUES ('春天', '8', '小说', '2026-11-30', '/landed/myText/', 'http://a.example/');
INSERT INTO filedata VALUES ('夏天', '8', '新闻', '2026-12-01', '/landed/myText/', '');
INSERT INTO filedata VALUES ('蝴蝶', '8', '默认文本', '2026-12-02', '/landed/myText/', 'Notavo');
DELETE FROM filedata WHERE rowid = 3;
INSERT INTO filedata VALUES ('秋天', '8', '小说', '2026-12-03', '/landed/myText/', NULL);
SQL

sqlite3 "$here/landed-filesearch.db" <<'SQL'
PRAGMA journal_mode=WAL;
CREATE TABLE IF NOT EXISTS indexed (id INTEGER PRIMARY KEY, recordId INTEGER UNIQUE, path TEXT, size INTEGER, modified INTEGER);
CREATE VIRTUAL TABLE IF NOT EXISTS words USING fts5(tokens, content='', columnsize=0, tokenize='unicode61 remove_diacritics 0');
INSERT INTO indexed VALUES (1, 1, '/landed/myText/春天.txt', 8, 1764460800000);
INSERT INTO words (rowid, tokens) VALUES (1, '春天 天 来了 了');
INSERT INTO indexed VALUES (2, 2, '/landed/myText/夏天.txt', 8, 1764547200000);
INSERT INTO words (rowid, tokens) VALUES (2, '夏天 天 很热 热');
INSERT INTO indexed VALUES (3, 3, '/landed/myText/蝴蝶.txt', 8, 1764633600000);
INSERT INTO words (rowid, tokens) VALUES (3, '蝴蝶 蝶 飞舞 舞');
DELETE FROM indexed WHERE recordId = 3;
INSERT INTO indexed VALUES (3, 3, '/landed/myText/秋天.txt', 8, 1764720000000);
INSERT INTO words (rowid, tokens) VALUES (3, '秋天 天 凉爽 爽');
SQL
echo "made $here/landed-filelist.db and $here/landed-filesearch.db"
