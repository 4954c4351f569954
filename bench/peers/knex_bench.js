// The statement of query_bench written with knex: the same number of
// conditions in nested groups of ten, alternating "and" and "or" groups,
// over columns of 50 tables, turned into SQL text with toString().
'use strict';

const knex = require('knex')({ client: 'pg' });

function fill(builder, count, state, any) {
  if (count <= 10) {
    for (let i = 0; i < count; ++i, ++state.next) {
      const table = (state.next * 7) % 50;
      const column = `t${table}.Value${2 + (state.next % 4)}`;
      const value = state.next % 2 ? `v${state.next}` : state.next;
      if (any && i > 0) builder.orWhere(column, '=', value);
      else builder.where(column, '=', value);
    }
    return;
  }
  const per = Math.ceil(count / 10);
  for (let done = 0; done < count; done += per) {
    const part = Math.min(per, count - done);
    const group = function () { fill(this, part, state, !any); };
    if (any && done > 0) builder.orWhere(group);
    else builder.where(group);
  }
}

function build(conditions) {
  let query = knex('Table0 as t0');
  for (let t = 1; t < 50; ++t) query = query.leftJoin(`Table${t} as t${t}`, `t${t}.ParentID`, `t${t - 1}.ID`);
  query = query.select([...Array(10).keys()].map((t) => `t${t * 5}.Value2 as Column${t}`));
  fill(query, conditions, { next: 0 }, false);
  return query.toString();
}

for (const conditions of [1000, 10000, 100000]) {
  build(conditions); // warm up
  const runs = conditions >= 100000 ? 3 : 10;
  const times = [];
  let length = 0;
  for (let r = 0; r < runs; ++r) {
    const start = process.hrtime.bigint();
    length = build(conditions).length;
    times.push(Number(process.hrtime.bigint() - start) / 1e6);
  }
  times.sort((a, b) => a - b);
  console.log(`knex ${conditions} conditions: median ${times[Math.floor(runs / 2)].toFixed(1)} ms (${length} characters)`);
}
