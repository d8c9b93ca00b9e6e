// tarnwick-cli's item commands end to end (node --test): items imported from CSV into a new
// database are read back by mdbtools and mdb-reader (compare.mjs), a CSV with one bad line
// changes no byte of the file, and the iCalendar export is parsed back by ical.js.
//   TARNWICK_CLI=build/default/tarnwick-cli node --test tests/interop/cli_items.test.mjs
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import { dirname, join } from "node:path";
import { after, test } from "node:test";
import { fileURLToPath } from "node:url";
import ICAL from "ical.js";

const HERE = dirname(fileURLToPath(import.meta.url));
const CLI = process.env.TARNWICK_CLI;
const dir = mkdtempSync(join(tmpdir(), "tarnwick-items-"));
after(() => rmSync(dir, { recursive: true, force: true }));
const db = join(dir, "items.mdb");

function cli(...args) {
  // Dates are read in the C locale's forms, whatever the machine's; the backup an import makes
  // first goes to the test's folder, not the user's.
  const env = {
    ...process.env, LC_ALL: "C.UTF-8", LANG: "C.UTF-8", XDG_DATA_HOME: join(dir, "data"),
  };
  const res = spawnSync(CLI, args, { encoding: "utf8", env });
  return { status: res.status, stdout: res.stdout, stderr: res.stderr };
}

const longText = "Überprüfung der Frist für € und 期限 ".repeat(5).slice(0, 150);
// A record as tarnwick-cli's JSON shows it.
const record = (text, client, project, priority, start, deadline) => ({
  ThingToDo: text, "TTD Client": client, "TTD Project": project, "TTD Priority": priority,
  "Thing To Do Start Date": start, "Thing To Do Deadline": deadline,
});
const day = (iso) => `${iso}T00:00:00`;
// Each item: the CSV line, the record it makes, then the VTODO's dates as ical.js shows them
// (null for none), its priority and its category.
const items = [
  ['1,"Smith, John",Telephone conference with John re lease,1/5/2026,2026-01-10',
    record("Telephone conference with John re lease", "Smith, John", null, "1", day("2026-01-05"), day("2026-01-10")),
    { start: "2026-01-05", due: "2026-01-10", priority: 1, category: "Smith, John" }],
  ['3,Estate of Brown,"Draft ""will"", review; sign\r\nwith client",,',
    record('Draft "will", review; sign\r\nwith client', null, "Estate of Brown", "3", null, null),
    { start: null, due: null, priority: 5, category: "Estate of Brown" }],
  [`5,Müller-Lüdenscheid GmbH,${longText},2026-02-01,1/15/2026`,
    record(longText, null, "Müller-Lüdenscheid GmbH", "5", day("2026-02-01"), day("2026-01-15")),
    { start: null, due: "2026-01-15", priority: 9, category: "Müller-Lüdenscheid GmbH" }],
  ["2,,Court appearance re motion 📅,2026-03-01,2026-03-01",
    record("Court appearance re motion 📅", null, "", "2", day("2026-03-01"), day("2026-03-01")),
    { start: null, due: "2026-03-01", priority: 3, category: null }],
  ['4,"Doe, Jane",Follow-up,3/2/2026 9:15:00 AM,3/9/2026',
    record("Follow-up", "Doe, Jane", null, "4", "2026-03-02T09:15:00", day("2026-03-09")),
    { start: "2026-03-02T09:15:00", due: "2026-03-09T00:00:00", priority: 7, category: "Doe, Jane" }],
];

test("imported items are read back exactly by mdbtools and mdb-reader", () => {
  assert.equal(cli("create", db).status, 0);
  const csv = join(dir, "items.csv");
  writeFileSync(csv, "\uFEFF" + items.map(([line]) => line).join("\r\n"));
  const res = cli("import", db, "--from", "csv", csv);
  assert.equal(res.status, 0, res.stderr);
  assert.equal(res.stdout, "5 items imported\n");
  const expect = join(dir, "expected.json");
  writeFileSync(expect, JSON.stringify({ data: { "Things To Do": items.map(([, record]) => record) } }));
  const cmp = spawnSync(process.execPath, [join(HERE, "compare.mjs"), "--cli", CLI, "--expect-file", expect, db],
    { encoding: "utf8" });
  assert.equal(cmp.status, 0, cmp.stdout + cmp.stderr);
});

test("an import with one bad line changes nothing and names the line", () => {
  const before = readFileSync(db);
  const csv = join(dir, "bad.csv");
  writeFileSync(csv, "1,a,b,,\n2,\"c, d\",e,1/1/2026,\n7,f,g,,\n3,h,i,,\n");
  const res = cli("import", db, "--from", "csv", csv);
  assert.equal(res.status, 1);
  assert.equal(res.stderr, 'tarnwick-cli: line 3: the priority "7" is not 1 to 5\n');
  assert.ok(readFileSync(db).equals(before), "the database's bytes changed");
});

test("the iCalendar export is parsed back by ical.js with every field", () => {
  const started = Date.now();
  const res = cli("export", db, "Things To Do", "--format", "ics");
  assert.equal(res.status, 0, res.stderr);
  const bytes = Buffer.from(res.stdout, "utf8");
  const lines = bytes.toString("latin1").split("\r\n");
  assert.equal(lines.pop(), "", "the last line ends in CRLF");
  for (const line of lines) {
    assert.ok(!line.includes("\n") && !line.includes("\r"), "bare line break");
    assert.ok(line.length <= 75, `line over 75 octets: ${line}`);
    // No line starts or ends inside a UTF-8 character.
    new TextDecoder("utf-8", { fatal: true }).decode(Buffer.from(line, "latin1"));
  }
  assert.ok(lines.some((l) => l.startsWith(" ")), "the long text is folded");

  const calendar = new ICAL.Component(ICAL.parse(res.stdout));
  assert.equal(calendar.getFirstPropertyValue("version"), "2.0");
  assert.match(calendar.getFirstPropertyValue("prodid"), /Tarnwick/);
  const todos = calendar.getAllSubcomponents("vtodo");
  assert.equal(todos.length, items.length);
  const uids = new Set();
  todos.forEach((todo, i) => {
    const [, record, want] = items[i];
    const text = (name) => todo.getFirstPropertyValue(name)?.toString() ?? null;
    uids.add(text("uid"));
    assert.match(text("uid"), /^[0-9a-f]{16}@tarnwick$/);
    const stamp = todo.getFirstPropertyValue("dtstamp");
    assert.equal(stamp.zone, ICAL.Timezone.utcTimezone);
    assert.ok(Math.abs(stamp.toJSDate().getTime() - started) < 60_000, "DTSTAMP is now");
    assert.equal(text("summary"), record.ThingToDo.replace(/\r\n/g, "\n"), `item ${i + 1}`);
    const categories = todo.getFirstProperty("categories")?.getValues() ?? null;
    assert.deepEqual(categories, want.category && [want.category]);
    assert.equal(todo.getFirstPropertyValue("priority"), want.priority);
    assert.equal(text("dtstart"), want.start, `item ${i + 1} start`);
    assert.equal(text("due"), want.due, `item ${i + 1} due`);
    for (const name of ["dtstart", "due"]) {
      const time = todo.getFirstPropertyValue(name);
      if (time && !time.isDate) assert.equal(time.timezone, undefined, "floating local time");
    }
  });
  assert.equal(uids.size, items.length);
  const again = cli("export", db, "Things To Do", "--format", "ics").stdout;
  assert.deepEqual(again.match(/UID:.*/g), res.stdout.match(/UID:.*/g), "UIDs are stable");
  const other = cli("export", db, "Clients", "--format", "ics");
  assert.equal(other.status, 1);
  assert.match(other.stderr, /only the table "Things To Do" can be exported as iCalendar/);
});
