#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/awards/award_evaluation.h"

namespace dxcc {

// One line of the award report: an award evaluated in one basis.
struct ReportItem {
    const AwardDefinition* award;
    Basis basis;
};

// Every award the windows show, in their order (Mixed, SSB, CW, RTTY, the
// eleven bands, 5 bandes, Satellite), confirmed then contacted; the 5-band
// award only confirmed.
std::vector<ReportItem> reportItems();

// "confirmés" or "contactés".
std::string_view basisName(Basis basis);

// The award, the basis and the two labels, separated by tabs (UTF-8, blanks
// kept), without a line end.
std::string reportLine(const ReportItem& item, const AwardResult& result);

}  // namespace dxcc
