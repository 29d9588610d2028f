#pragma once

#include <QStringList>

class QIODevice;

// hy3tool: converts fare data files (.hy3) to and from CSV and checks them.
//   hy3tool to-csv FILE.hy3          CSV (UTF-8) on `out`
//   hy3tool from-csv FILE.csv OUT.hy3
//   hy3tool check FILE.hy3
// Messages go to `err` (to `out` for check), in UTF-8. Returns the exit status: 0 done,
// 1 the file cannot be read, converted or used, 2 wrong arguments.
int runHy3Tool(const QStringList& args, QIODevice& out, QIODevice& err);
