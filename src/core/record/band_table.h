#pragma once

#include <string_view>

// From the band or frequency of an ADIF record to the band text of the log.
namespace dxcc::adif {

// The log's band for a BAND value (upper case, blanks trimmed): the label of
// the row of the import's band table that accepts the value exactly ("20M" and
// "14" give "14 Mhz"); else, for a band of the ADIF band list that the table
// lacks, the band's name ("60M"); empty when the value is no band.
std::string_view bandForBandValue(std::string_view band);

// The log's band for a FREQ value in MHz: the ADIF band whose range holds the
// frequency (edges included), as the table's label or, for a band the table
// lacks, as the band's name; empty when the text is no number or the frequency
// lies in no band.
std::string_view bandForFrequency(std::string_view megahertz);

// The other way, for the export: the ADIF band name (upper case, "20M") of a
// logged band (blanks trimmed): the band of the table's row for a label
// ("14 Mhz", "1.3Ghz"), a band name of the ADIF band list as it stands;
// empty for anything else.
std::string_view adifBandOfLogBand(std::string_view logBand);

}  // namespace dxcc::adif
