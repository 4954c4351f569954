// The statements of sql_import_bench parsed by node-sql-parser: run
// sql_import_bench with BRINDLE_STATEMENTS_DIR set to a folder first, then
// "npm run sql-parser -- FOLDER". Prints the median time per statement.
'use strict';

const fs = require('fs');
const path = require('path');
const { Parser } = require('node-sql-parser');

const folder = process.argv[2];
if (!folder) {
  console.error('usage: node sql_parser_bench.js FOLDER');
  process.exit(2);
}
const parser = new Parser();
for (const name of ['nested_1000', 'nested_10000', 'nested_100000', 'flat_100000']) {
  const file = path.join(folder, `${name}.sql`);
  if (!fs.existsSync(file)) continue;
  const sql = fs.readFileSync(file, 'utf8');
  const runs = name.endsWith('100000') ? 3 : 10;
  const times = [];
  let outcome = 'parsed';
  for (let i = 0; i <= runs; ++i) {
    const start = process.hrtime.bigint();
    try {
      parser.astify(sql);
    } catch (e) {
      outcome = `refused: ${String(e.message).split('\n')[0].slice(0, 80)}`;
    }
    if (i > 0) times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  times.sort((a, b) => a - b);
  console.log(`node-sql-parser ${name}: median ${times[Math.floor(times.length / 2)].toFixed(1)} ms (${outcome})`);
}
