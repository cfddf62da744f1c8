#pragma once

class TCliProgress;
struct CliOptions;

// The commands on several radios at once, each radio on its own port, all in parallel: a status
// line per radio on stderr while they run, a table per radio on stdout at the end. They return
// the exit code: 0 only when every radio succeeded.

// clone IMAGE --port P1 --port P2 ...: the image into every radio, each with backup and verify.
int CloneRadios(const CliOptions &options, TCliProgress &progress);
// backup --port P1 --port P2 ... -o FOLDER: every radio whole into FOLDER/PORT.img.
int BackupRadios(const CliOptions &options, TCliProgress &progress);
