#include "core/awards/award_report.h"

namespace dxcc {

std::vector<ReportItem> reportItems() {
    std::vector<ReportItem> items;
    for (const AwardDefinition& award : allAwards()) {
        items.push_back({&award, Basis::Confirmed});
        if (award.family != AwardFamily::FiveBand) items.push_back({&award, Basis::Contacted});
    }
    return items;
}

std::string_view basisName(Basis basis) {
    return basis == Basis::Confirmed ? "confirmés" : "contactés";
}

std::string reportLine(const ReportItem& item, const AwardResult& result) {
    std::string line = item.award->name;
    for (std::string_view field : {basisName(item.basis), std::string_view(result.label1),
                                   std::string_view(result.label4)}) {
        line += '\t';
        line += field;
    }
    return line;
}

}  // namespace dxcc
