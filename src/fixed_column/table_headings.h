// Column headings of the design tables: the heading block of the report file
// and of the full results file for each kind of storage run, and the heading
// texts that the closing tables reuse.
#pragma once

#include <string_view>

#include "fixed_column/report_context.h"
#include "textio/text_file.h"

namespace sitedrain::fixed_column::headings {

// Runoff-only rows of the report.
inline constexpr std::string_view kRunoff =
    " R.PER.    DUR     IFLWRATE   TOT.RUNFF   RAINFALL   ROFF_COEF";
inline constexpr std::string_view kRunoffUnits =
    " (year)   (min)    (m^3/h)      (m^3)       (mm)       (-)";

// Full results rows of pond, sump and soakaway runs.
inline constexpr std::string_view kPondResults =
    "  R.P. TPOD  DUR    IFLW_RT  TOT.IFL  TOT.AREA   SL_A     AP_A    AP_VL.   DPTH   MX_OFW   "
    "24H_OFW  TFILL   TTMT    TTHMT   RNFF_CO.   RAIN";
inline constexpr std::string_view kPondResultsUnits =
    "  (yr)  (mm)  (min)  (m^3/h)   (m^3)    (m^2)     (m^2)   (m^2)    (m^3)    (m)    (m^3/h)   "
    "(m^3)    (h)     (h)     (h)               (mm)";
inline constexpr std::string_view kSumpResults =
    "   R.PER. P.RATE   DUR   IFLW RATE  TOT.INFL   TOT.AREA  SL. AREA  SMP AREA    SM.DPTH   "
    "SM.VOL.    TFILL     TTMT    HTT EMPT  RNFFCOEF   RAIN";
inline constexpr std::string_view kSumpResultsUnits =
    "   (year) (m^3/h) (min)   (m^3/h)     (m^3)     (m^2)     (m^2)     (m^2)       (m)       "
    "(m^3)      (h)       (h)       (h)               (mm)";
inline constexpr std::string_view kSoakaway =
    "  R.PER.  DUR. TOT.INFL  SOAK.AREA   SOAK.LNGTH   SOAK.WDTH   SOAK.DEPTH   SOAK.VOLUME   "
    "FLOWMX   OFLW 24H  HTT EMPT   RAIN    RUNOFF COEFF.";
inline constexpr std::string_view kSoakawayUnits =
    "      (year) (min)  (m^3)      (m^2)       (m)          (m)       (m)          (m^3)       "
    "(m^3/h)   (m^3)       (h)      (mm)        ";

// Governing tables of the report.
inline constexpr std::string_view kPondTitle =
    " Parameters for the largest total area of water for each RETURN PERIOD and THROTTLE PLATE "
    "ORIFICE DIAMETER (TPOD)";
inline constexpr std::string_view kSumpTitle =
    " Parameters for the largest total area of water for each RETURN PERIOD and PUMP RATE";
inline constexpr std::string_view kSoakawayTitle =
    " Parameters for the largest soakaway volume for each RETURN PERIOD";
inline constexpr std::string_view kPond =
    "  R.PER.  TPOD  DUR   TOT.INFL TOT.AREA  SL.A    SL.LNGTH  SL.WDTH  AP.AREA  AP.LNGTH  "
    "AP.WDTH  AP.DPH  AP.VOL   MAXFLW   MEANFL  FLWIN24H";
inline constexpr std::string_view kPondUnits =
    "  (year)  (mm) (min)  (m^3)    (m^2)    (m^2)      (m)      (m)     (m^2)     (m)      (m)  "
    "     (m)   (m^3)   (m^3/h)   (m^3/h)   (m^3)";
inline constexpr std::string_view kSump =
    "  R.PER.   P.RATE   DUR  TOT.INFL  TOT.AREA  SL.AREA   SL.LNGTH  SL.WDTH   SM.AREA   "
    "SM.LNGTH   SM.WDTH   SM.DEPTH   SM.VOLUME   TTMT";
inline constexpr std::string_view kSumpUnits =
    "  (year)  (m^3/h)  (min)  (m^3)     (m^2)     (m^2)       (m)      (m)      (m^2)       "
    "(m)       (m)        (m)       (m^3)      (h) ";
inline constexpr std::string_view kSoakawayTableUnits =
    "  (year) (min) (m^3/h)    (m^2)           (m)        (m)         (m)         (m^3)      "
    "(m^3/h)   (m^3/h)      (h)";

// In: the run's kind.  Out: the heading block of the report file that
// stands above the governing rows (runoff-only: above the runoff rows).
void write_report_headings(StorageKind kind, textio::LineSink& out);

// In: the run's kind.  Out: the heading block of the full results file
// (nothing for a runoff-only run).
void write_results_headings(StorageKind kind, textio::LineSink& out);

}  // namespace sitedrain::fixed_column::headings
