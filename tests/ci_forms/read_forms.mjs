// The JUnit form read back by a JUnit reader from npm (junit2json), on the outputs read_forms.py
// wrote to the work folder: a suite per file, a failure per warning reported, a skipped test per
// warning excused.
//   node read_forms.mjs <work folder>
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { parse } from 'junit2json';

const work = process.argv[2];
const truth = JSON.parse(readFileSync(join(work, 'truth.json'), 'utf8'));
const read = await parse(readFileSync(join(work, 'out.junit.xml'), 'utf8'));
const failures = [];
const suites = read.testsuite ?? [];
if (suites.map((s) => s.name).join('\n') !== Object.keys(truth.reported).join('\n')) {
  failures.push(`the suites are ${suites.map((s) => s.name)}`);
}
for (const suite of suites) {
  const cases = suite.testcase ?? [];
  const failed = cases.flatMap((c) => c.failure ?? []).map((f) => f.message);
  const skipped = cases.flatMap((c) => c.skipped ?? []);
  const want = truth.reported[suite.name] ?? [];
  if (JSON.stringify(failed) !== JSON.stringify(want.map((w) => w.message))) {
    failures.push(`${JSON.stringify(suite.name)}: the failures are not its warnings`);
  }
  if (skipped.length !== (truth.excused[suite.name] ?? []).length || suite.failures !== want.length) {
    failures.push(`${JSON.stringify(suite.name)}: ${suite.failures} failures, ${skipped.length} skipped`);
  }
}
for (const failure of failures) {
  console.log(`FAILED: ${failure}`);
}
if (failures.length > 0) {
  process.exit(1);
}
console.log(`JUnit (junit2json): ${suites.length} suites read back as the JSON form gives them`);
