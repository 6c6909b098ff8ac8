#include "fixed_column/table_headings.h"

namespace sitedrain::fixed_column::headings {

void write_report_headings(StorageKind kind, textio::LineSink& out) {
  switch (kind) {
    case StorageKind::runoff_only:
      out.line("");
      out.line("");
      out.line(kRunoff);
      out.line(kRunoffUnits);
      out.line("");
      break;
    case StorageKind::pond:
      out.line(kPondTitle);
      out.line("");
      out.line(kPond);
      out.line(kPondUnits);
      out.line("");
      break;
    case StorageKind::sump:
      out.line(kSumpTitle);
      out.line("");
      out.line(kSump);
      out.line(kSumpUnits);
      out.line("");
      break;
    case StorageKind::soakaway:
      out.line(kSoakawayTitle);
      out.line("");
      out.line(kSoakaway);
      out.line(kSoakawayUnits);
      out.line("");
      out.line(kSoakawayTableUnits);
      out.line("");
      break;
  }
}

void write_results_headings(StorageKind kind, textio::LineSink& out) {
  switch (kind) {
    case StorageKind::runoff_only:
      break;
    case StorageKind::pond:
      out.line(kPondResults);
      out.line(kPondResultsUnits);
      out.line("");
      break;
    case StorageKind::sump:
      out.line(kSumpResults);
      out.line(kSumpResultsUnits);
      out.line("");
      break;
    case StorageKind::soakaway:
      out.line("");
      out.line(kSoakaway);
      out.line(kSoakawayUnits);
      out.line("");
      break;
  }
}

}  // namespace sitedrain::fixed_column::headings
