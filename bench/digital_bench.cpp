// Decodes of a busy FT8 band as WSJT-X sends them: each datagram read and its
// station classified against a log of a million QSOs (entity, statuses,
// worked before on the band, heading and distance).
#include <cstdio>
#include <string>
#include <vector>

#include "bench_env.h"
#include "bench_registry.h"
#include "core/awards/needed_index.h"
#include "core/digital/decode_classifier.h"
#include "core/digital/worked_callsigns.h"
#include "core/digital/wsjtx_codec.h"
#include "core/geo/locator.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"

namespace bench {

namespace {

constexpr double kTargetDecodesPerSecond = 200'000;

// A Decode datagram as WSJT-X writes it.
std::string decodeDatagram(const std::string& message, uint32_t msecs) {
    dxcc::digital::StreamWriter out;
    out.writeU32(dxcc::digital::kMagic);
    out.writeU32(3);
    out.writeU32(static_cast<uint32_t>(dxcc::digital::MessageType::Decode));
    out.writeText("WSJT-X");
    out.writeBool(true);
    out.writeTime(msecs);
    out.writeI32(-12);
    out.writeDouble(0.2);
    out.writeU32(1200);
    out.writeText("~");
    out.writeText(message);
    out.writeBool(false);
    out.writeBool(false);
    return out.take();
}

// The messages of a band: CQs with grids, calls and reports, sign-offs.
std::vector<std::string> bandDatagrams(size_t count) {
    const std::vector<std::string>& pool = Env::get().callsignPool();
    const char* grids[] = {"FN42", "JN18", "PM95", "GD18", "KP20", "QF22"};
    std::vector<std::string> out;
    for (size_t i = 0; i < count; ++i) {
        const std::string& a = pool[(i * 7919) % pool.size()];
        const std::string& b = pool[(i * 104729 + 13) % pool.size()];
        std::string message;
        switch (i % 4) {
            case 0:
                message = "CQ " + a + " " + grids[i % 6];
                break;
            case 1:
                message = b + " " + a + " " + grids[(i + 1) % 6];
                break;
            case 2:
                message = b + " " + a + " R-1" + std::to_string(i % 10);
                break;
            default:
                message = b + " " + a + " RR73";
                break;
        }
        out.push_back(decodeDatagram(message, uint32_t((i % 86'400) * 1000)));
    }
    return out;
}

void decodeBench(benchmark::State& state) {
    const dxcc::PrefixTable* table = Env::get().prefixTable();
    if (!table) {
        state.SkipWithError("no prefix table");
        return;
    }
    const dxcc::Logbook& log = sharedLoadedLog(kTargetSize);
    dxcc::NeededIndex needed;
    needed.rebuild(log);
    dxcc::digital::WorkedCallsigns worked;
    worked.bringUpToDate(log);
    const dxcc::EntityData entities =
        dxcc::EntityData::load(std::string(VEL_SOURCE_DIR) + "/data/Entites_DXCC.txt");
    const dxcc::digital::DecodeContext context{*table, needed, entities,
                                               dxcc::geo::locatorCenter("JN18du"), worked};
    dxcc::digital::Status status;
    status.dialFrequencyHz = 14'074'000;
    status.mode = "FT8";
    const dxcc::digital::DecoderTuning tuning = dxcc::digital::tuningOf(status);
    const std::vector<std::string> datagrams = bandDatagrams(16384);
    dxcc::digital::DropCounts drops;
    size_t decodes = 0, wanted = 0, before = 0;
    for (auto _ : state) {
        for (const std::string& bytes : datagrams) {
            const auto datagram = dxcc::digital::decodeDatagram(bytes, drops);
            const auto& decode = std::get<dxcc::digital::Decode>(datagram->message);
            const auto c = dxcc::digital::classifyDecode(decode, tuning, context);
            wanted += c.needed();
            before += c.workedBefore;
            ++decodes;
        }
    }
    state.SetItemsProcessed(int64_t(decodes));
    state.counters["needed"] = double(wanted) / double(decodes);
    state.counters["workedBefore"] = double(before) / double(decodes);
    if (drops.total() > 0) state.SkipWithError("a datagram was dropped");
}

}  // namespace

void registerDigitalBenchmarks() {
    benchmark::RegisterBenchmark("DigitalDecodes/1000000", decodeBench)
        ->Unit(benchmark::kMillisecond);
}

bool printDigitalSummary(const std::map<std::string, benchmark::BenchmarkReporter::Run>& results) {
    const auto it = results.find("DigitalDecodes/1000000");
    if (it == results.end()) return true;
    const auto c = it->second.counters.find("items_per_second");
    const double perSecond = c == it->second.counters.end() ? 0 : double(c->second);
    const bool met = perSecond >= kTargetDecodesPerSecond;
    std::printf(
        "\nDigital-mode decodes read and classified (log of 1,000,000 QSOs)\n"
        "  %-22s %14.0f /s  %s\n",
        "DigitalDecodes", perSecond, met ? ">= 200,000/s: met" : ">= 200,000/s: MISSED");
    return met;
}

}  // namespace bench
