// A whole process as bench/cli_bench times Brindle's: reads the rules that
// cli_bench writes beside its query (the joined tables, then brackets of
// conditions on a column and a value), writes the statement with knex and
// prints it. Run by cli_bench's BM_KnexProcessLarge.
'use strict';

const fs = require('fs');
const knex = require('knex')({ client: 'pg' });

const rules = JSON.parse(fs.readFileSync(process.argv[2], 'utf8'));
const [first, ...rest] = rules.tables;
let query = knex(`Table${first.slice(1)} as ${first}`);
let previous = first;
for (const alias of rest) {
  query = query.innerJoin(`Table${alias.slice(1)} as ${alias}`, `${alias}.Column1`, `${previous}.Column2`);
  previous = alias;
}
for (const group of rules.groups) {
  query = query.where(function () {
    for (const rule of group) this.where(rule.column, '=', rule.value);
  });
}
process.stdout.write(query.toString() + '\n');
