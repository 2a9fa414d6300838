-- The stop database as it is delivered: seven tables and their first rows.
CREATE TABLE "DData" (
  "DateNow" DATETIME,
  "Time" TEXT(20),
  "Weekday" TEXT(10),
  "LaneNo" LONG,
  "callmade" TEXT(30),
  "Type" TEXT(1),
  "Name1" TEXT(10),
  "Name2" TEXT(10),
  "Notes" MEMO TEXT,
  "Recno" INTEGER PRIMARY KEY AUTOINCREMENT
);
-- Filters by lane and by date on a log of a million calls read only the calls they find.
CREATE INDEX "DData_LaneNo" ON "DData" ("LaneNo", "DateNow");
CREATE INDEX "DData_DateNow" ON "DData" ("DateNow");
-- The statistics read lanes and calls per day from this index alone, not from the calls.
CREATE INDEX "DData_DateLaneCall" ON "DData" ("DateNow", "LaneNo", "callmade");
CREATE TABLE "Calls" (
  "C1" TEXT(30),
  "C2" TEXT(30),
  "C3" TEXT(30),
  "C4" TEXT(30),
  "C5" TEXT(30),
  "C6" TEXT(30),
  "C7" TEXT(30),
  "C8" TEXT(30),
  "C9" TEXT(30),
  "C10" TEXT(30),
  "C11" TEXT(30),
  "C12" TEXT(30),
  "C13" TEXT(30),
  "C14" TEXT(30),
  "C15" TEXT(30),
  "C16" TEXT(30),
  "C17" TEXT(30),
  "C18" TEXT(30),
  "C19" TEXT(30),
  "C20" TEXT(30),
  "C21" TEXT(30),
  "C22" TEXT(30),
  "C23" TEXT(30),
  "C24" TEXT(30),
  "C25" TEXT(30),
  "C26" TEXT(30),
  "C27" TEXT(30),
  "C28" TEXT(30),
  "C29" TEXT(30),
  "C30" TEXT(30),
  "C31" TEXT(30),
  "C32" TEXT(30),
  "C33" TEXT(30),
  "C34" TEXT(30),
  "C35" TEXT(30),
  "C36" TEXT(30),
  "C37" TEXT(30),
  "C38" TEXT(30),
  "C39" TEXT(30),
  "C40" TEXT(30),
  "C41" TEXT(30),
  "C42" TEXT(30),
  "C43" TEXT(30),
  "C44" TEXT(30),
  "C45" TEXT(30),
  "C46" TEXT(30),
  "C47" TEXT(30),
  "C48" TEXT(30),
  "C49" TEXT(30),
  "C50" TEXT(30),
  "C51" TEXT(30),
  "C52" TEXT(30),
  "C53" TEXT(30),
  "C54" TEXT(30),
  "C55" TEXT(30),
  "C56" TEXT(30),
  "C57" TEXT(30),
  "C58" TEXT(30),
  "C59" TEXT(30),
  "C60" TEXT(30),
  "C61" TEXT(30),
  "C62" TEXT(30),
  "C63" TEXT(30),
  "C64" TEXT(30),
  "C65" TEXT(30),
  "C66" TEXT(30),
  "C67" TEXT(30),
  "C68" TEXT(30),
  "C69" TEXT(30),
  "C70" TEXT(30),
  "C71" TEXT(30),
  "C72" TEXT(30),
  "C73" TEXT(30),
  "C74" TEXT(30),
  "C75" TEXT(30),
  "C76" TEXT(30),
  "C77" TEXT(30),
  "C78" TEXT(30),
  "C79" TEXT(30),
  "C80" TEXT(30),
  "C81" TEXT(30),
  "C82" TEXT(30),
  "C83" TEXT(30),
  "C84" TEXT(30),
  "C85" TEXT(30),
  "C86" TEXT(30),
  "C87" TEXT(30),
  "C88" TEXT(30),
  "C89" TEXT(30),
  "C90" TEXT(30),
  "C91" TEXT(30),
  "C92" TEXT(30),
  "C93" TEXT(30),
  "C94" TEXT(30),
  "C95" TEXT(30),
  "C96" TEXT(30),
  "C97" TEXT(30),
  "C98" TEXT(30),
  "C99" TEXT(30),
  "C100" TEXT(30),
  "S1" TEXT(15),
  "S2" TEXT(15),
  "S3" TEXT(15),
  "S4" TEXT(15),
  "S5" TEXT(15)
);
CREATE TABLE "DWork" (
  "DateNow" DATETIME,
  "mecha1" TEXT(10),
  "mecha2" TEXT(10),
  "mechp1" TEXT(10),
  "mechp2" TEXT(10),
  "noteam1" MEMO TEXT,
  "noteam2" MEMO TEXT,
  "notepm1" MEMO TEXT,
  "notepm2" MEMO TEXT
);
CREATE TABLE "WAssign" (
  "DateNow" DATETIME,
  "1W" TEXT(40),
  "2W" TEXT(40),
  "3W" TEXT(40),
  "4W" TEXT(40),
  "5W" TEXT(40),
  "6W" TEXT(40),
  "7W" TEXT(40),
  "8W" TEXT(40),
  "9W" TEXT(40),
  "10W" TEXT(40),
  "11W" TEXT(40),
  "12W" TEXT(40),
  "13W" TEXT(40),
  "14W" TEXT(40),
  "15W" TEXT(40),
  "16W" TEXT(40),
  "17W" TEXT(40),
  "18W" TEXT(40),
  "19W" TEXT(40),
  "20W" TEXT(40),
  "1M" TEXT(10),
  "2M" TEXT(10),
  "3M" TEXT(10),
  "4M" TEXT(10),
  "5M" TEXT(10),
  "6M" TEXT(10),
  "7M" TEXT(10),
  "8M" TEXT(10),
  "9M" TEXT(10),
  "10M" TEXT(10),
  "11M" TEXT(10),
  "12M" TEXT(10),
  "13M" TEXT(10),
  "14M" TEXT(10),
  "15M" TEXT(10),
  "16M" TEXT(10),
  "17M" TEXT(10),
  "18M" TEXT(10),
  "19M" TEXT(10),
  "20M" TEXT(10)
);
CREATE TABLE "WList" (
  "Weekno" INTEGER,
  "WL1" TEXT(40),
  "WL2" TEXT(40),
  "WL3" TEXT(40),
  "WL4" TEXT(40),
  "WL5" TEXT(40),
  "WL6" TEXT(40),
  "WL7" TEXT(40),
  "WL8" TEXT(40),
  "WL9" TEXT(40),
  "WL10" TEXT(40),
  "WL11" TEXT(40),
  "WL12" TEXT(40),
  "WL13" TEXT(40),
  "WL14" TEXT(40),
  "WL15" TEXT(40),
  "WL16" TEXT(40),
  "WL17" TEXT(40),
  "WL18" TEXT(40),
  "WL19" TEXT(40),
  "WL20" TEXT(40)
);
CREATE TABLE "Frames" (
  "DateNow" DATETIME,
  "Open" LONG,
  "League" LONG,
  "Rent" LONG,
  "Misc" LONG,
  "total" LONG
);
-- The centre's own settings (number of lanes, goal of frames per stop), one row each,
-- values written in digits whatever the machine's language.
CREATE TABLE "Settings" (
  "Name" TEXT(50) PRIMARY KEY,
  "Value" TEXT(255)
);
-- The maintenance schedule: tasks by frames bowled and by the calendar, each
-- completion kept for good, and which rows of a day's work sheet the schedule
-- filled. Dates are ISO text; lane 0 is the centre as a whole.
CREATE TABLE "MaintTasks" (
  "TaskId" INTEGER PRIMARY KEY AUTOINCREMENT,
  "Task" TEXT(40) NOT NULL,
  "Frames" LONG,
  "Days" LONG,
  "PerLane" YESNO NOT NULL DEFAULT 0,
  "Added" DATETIME NOT NULL,
  "Removed" DATETIME
);
CREATE TABLE "MaintDone" (
  "DoneId" INTEGER PRIMARY KEY AUTOINCREMENT,
  "TaskId" LONG NOT NULL,
  "Lane" LONG NOT NULL,
  "DateDone" DATETIME NOT NULL,
  "Mechanic" TEXT(10),
  "FramesPerMachine" LONG,
  "SheetId" LONG
);
CREATE INDEX "MaintDone_TaskLane" ON "MaintDone" ("TaskId", "Lane", "DateDone");
CREATE TABLE "MaintSheet" (
  "SheetId" INTEGER PRIMARY KEY AUTOINCREMENT,
  "DateNow" DATETIME NOT NULL,
  "JobRow" LONG NOT NULL,
  "TaskId" LONG NOT NULL,
  "Lanes" MEMO,
  "Job" TEXT(40)
);
CREATE INDEX "MaintSheet_DateNow" ON "MaintSheet" ("DateNow");
CREATE TABLE "PWord" (
  "assign" TEXT(10),
  "premade" TEXT(10),
  "dailyd" TEXT(10)
);
INSERT INTO "Calls" VALUES (
  'Pins jammed in elevator',
  'Pin wheel jam',
  'Turret not loading',
  'Turret chute jam',
  'Deck not lowering',
  'Pins stuck in deck',
  'Spotting tongs jam',
  'Scissors not closing',
  'Pin on deck',
  'Pin behind kickback',
  'Pit carpet stopped',
  'Pit conveyor jam',
  'Pins jammed at cushion',
  'Cushion dropped',
  'Broken pin removed',
  'Pin missing from set',
  'Double pin in deck',
  'Short set, pins missing',
  'Distributor jam',
  'Pin stuck in shuttle',
  'Ball stuck in pit',
  'Ball lift not lifting',
  'Accelerator belt worn',
  'Ball return belt off',
  'Ball wheel jam',
  'Ball stuck in lift',
  'Ball stuck under hood',
  'Ball return slow',
  'Ball door jammed',
  'Ball in gutter trough',
  'Ball detector fault',
  'Ball lift motor trip',
  'Ball rack jam',
  'Ball stuck in track',
  'Ball return no power',
  'Cracked ball in pit',
  'Ball lift rods bent',
  'Ball trapped in deck',
  'Ball return noisy',
  'Ball return other',
  'Sweep not down',
  'Sweep stuck in guard',
  'Sweep bent',
  'Rake not cycling',
  'Sweep hitting pins',
  'Deck not respotting',
  'Deck out of range',
  'Deck stuck at bottom',
  'Deck gearbox fault',
  'Respot cell fault',
  'Table clutch slipping',
  'Deck wiring fault',
  'Deck motor overload',
  'Sweep belt broken',
  'Sweep clutch fault',
  'Deck chain off',
  'Deck spring broken',
  'Sweep switch fault',
  'Deck lowered crooked',
  'Sweep & deck other',
  'Wrong pin count',
  'Scoring monitor dark',
  'Camera not reading',
  'Out of range',
  'Foul line stuck on',
  'Foul line dead',
  'Strike cycle on spare',
  'No pinfall detected',
  'Score not advancing',
  'Bowler name lost',
  'Console frozen',
  'Pin detector fault',
  'Scoring reset needed',
  'Frame skipped',
  'Spare not scored',
  'Monitor flicker',
  'Keypad not working',
  'Score printer fault',
  'Lane control off',
  'Scoring other',
  'Breaker tripped',
  'Motor overload',
  'Chassis fault',
  'Control board fault',
  'Chain broken',
  'Safety switch open',
  'Power failure',
  'Bumper stuck up',
  'Bumper stuck down',
  'Person in pit',
  'Child on lane',
  'Spill on approach',
  'Masking unit fault',
  'Lane light out',
  'Lost pin on lane',
  'Gearbox leaking oil',
  'Machine will not start',
  'Machine cycling',
  'Fuse blown',
  'Other call',
  'Pin Handling',
  'Ball Return',
  'Sweep & Deck',
  'Scoring',
  'Electrical/Misc'
);
INSERT INTO "PWord" VALUES ('', '', '');
INSERT INTO "WList" VALUES (1, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (2, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (3, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (4, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (5, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (6, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (7, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (8, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (9, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (10, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (11, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (12, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (13, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (14, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (15, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (16, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (17, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (18, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (19, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (20, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (21, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (22, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (23, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (24, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (25, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (26, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (27, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (28, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (29, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (30, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (31, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (32, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (33, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (34, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (35, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (36, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (37, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (38, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (39, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (40, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (41, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (42, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (43, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (44, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (45, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (46, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (47, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (48, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
INSERT INTO "WList" VALUES (49, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Lube deck gearboxes (25,000 frames)', 'Check table clutch adjustment', 'Inspect scissors and springs', 'Clean respot cells', 'Check sweep clutch', 'Tighten deck bolts', 'Check cushion ropes', 'Clean masking unit', 'Check foul line units', 'Test safety switches');
INSERT INTO "WList" VALUES (50, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Replace worn pit curtains', 'Check distributor alignment', 'Inspect ball wheel', 'Check accelerator belts', 'Clean camera lenses', 'Check chassis connectors', 'Inspect gearbox oil level', 'Adjust deck cams', 'Check turret indexing', 'Inspect bumpers');
INSERT INTO "WList" VALUES (51, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Overhaul pin wheel (100,000 frames)', 'Replace elevator belts as needed', 'Check rake board', 'Clean pit area', 'Check all breakers', 'Adjust sweep cams', 'Inspect deck chains for wear', 'Check ball lift motor', 'Clean scoring keypads', 'Check lane lights');
INSERT INTO "WList" VALUES (52, 'Clean and oil deck chains', 'Check sweep belts and pulleys', 'Inspect pit carpet and cushion', 'Clean pin elevator and wheel', 'Check turret springs and chutes', 'Clean ball lift rods', 'Check ball return belts', 'Inspect spotting tongs', 'Blow out pin detectors', 'Check motor belt tension', 'Check shuttle and pin guide', 'Inspect deck springs', 'Check kickback plates', 'Clean ball door', 'Check timing of deck', 'Inspect wiring harness', 'Replace worn tongs', 'Check pin counts', 'Lube sweep pivots', 'Check monitor mounts');
