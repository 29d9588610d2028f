#pragma once

#include <QStringList>

class QIODevice;

// hy3tool: converts fare data files (.hy3) to and from CSV and checks them, checks broadcast
// data files and ticket plug-ins, and makes fare and broadcast data from an open-data bus feed.
//   hy3tool to-csv FILE.hy3 [OUT.csv]
//   hy3tool from-csv FILE.csv OUT.hy3
//   hy3tool check FILE.hy3
//   hy3tool check-tape FILE
//   hy3tool check-plugin FILE.4SP
//   hy3tool gtfs-list FEED
//   hy3tool from-gtfs FEED --pattern ID --route N [--out DIR]
//   hy3tool --help | --version
// "-" as FILE reads `in`, as OUT writes `out`. Messages are UTF-8: what was asked for on `out`
// (check's verdict included), warnings and errors on `err`. Returns the exit status: 0 done,
// 1 a file cannot be read, written, converted or used, 2 wrong arguments.
int runHy3Tool(const QStringList& args, QIODevice& in, QIODevice& out, QIODevice& err);
