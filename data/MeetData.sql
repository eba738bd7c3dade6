-- The meeting database shipped beside Velmora.exe, empty: saved clocks, the day's stages and
-- the record of finished runs. Column order is the order the program and its editors rely on.
-- Times of day are written as texts "hh:mm:ss". The program reads them back as times ("9:00:00"
-- too) and compares them as times; a file made elsewhere may hold other texts, and a stage whose
-- times do not read is listed for deleting but never timed.

CREATE TABLE clocksetting (
  ID INTEGER,
  clockname TEXT COLLATE NOCASE,
  setdate TEXT,
  remark TEXT,
  timeall TEXT,
  tiemone INTEGER,
  timetwo INTEGER,
  tiemthree INTEGER,
  checkvalue TEXT,
  optvalue TEXT,
  tellShowtime INTEGER,
  tellsoundname TEXT,
  tellprocesstext TEXT,
  tellShowtext TEXT,
  clockFont TEXT,
  Fontselect TEXT,
  picturename TEXT,
  time_top INTEGER,
  time_left INTEGER,
  picture_width INTEGER,
  picture_height INTEGER
);

CREATE TABLE file_list (
  starttime TEXT NOT NULL
    CHECK (starttime GLOB '[01][0-9]:[0-5][0-9]:[0-5][0-9]' OR starttime GLOB '2[0-3]:[0-5][0-9]:[0-5][0-9]'),
  endtime TEXT NOT NULL
    CHECK (endtime GLOB '[01][0-9]:[0-5][0-9]:[0-5][0-9]' OR endtime GLOB '2[0-3]:[0-5][0-9]:[0-5][0-9]'),
  clockname TEXT COLLATE NOCASE,
  title TEXT
);

CREATE TABLE timesum (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  set_time TEXT,
  use_time TEXT,
  out_time TEXT,
  pause_time TEXT,
  filename TEXT
);
