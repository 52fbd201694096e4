// Encoding one report frame of a 1,000-event batch (gzip of the JSON text,
// then RC4 over the length and the compressed stream, then the head) beside
// raw zlib deflate of the same bytes at the same level, in one buffer.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <string>

#include "foundation/NSData.h"
#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTASocket.h"

namespace {

// A batch as the store sends it: "[" + the events' JSON texts + "]".
const NSData& batch() {
    static const NSData json = [] {
        std::string text = "[";
        for (int i = 0; i < 1000; ++i) {
            if (i) text += ",";
            text += "{\"ts\":" + std::to_string(1'700'000'000 + i * 3) + ",\"si\":" + std::to_string(4000 + i / 50) +
                    ",\"sv\":\"2.1.1\",\"ut\":1,\"av\":\"1.0.3\",\"ui\":\"8F2C4E1A-77B0-4D6E-9C3A-" +
                    std::to_string(100000000000 + i % 7) + "\",\"et\":1000,\"idx\":" + std::to_string(i * 7919 % 65536) +
                    ",\"ei\":\"level_" + std::to_string(i % 17) + "\",\"kv\":{\"score\":" + std::to_string(i * 37) +
                    ",\"stage\":\"第" + std::to_string(i % 60) + "关\"},\"du\":" + std::to_string(i % 13) + "}";
        }
        return NSData::fromString(text + "]");
    }();
    return json;
}

void BM_EncodeReportFrame(benchmark::State& state) {
    auto channel = make<RPOUTASocket>();
    const NSData& json = batch();
    for (auto _ : state) {
        auto frame = channel->getSendData(json);
        benchmark::DoNotOptimize(frame);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(json.length()));
}
BENCHMARK(BM_EncodeReportFrame)->Unit(benchmark::kMicrosecond);

void BM_RawDeflate(benchmark::State& state) {
    const NSData& json = batch();
    std::string out;
    for (auto _ : state) {
        z_stream stream{};
        deflateInit(&stream, Z_DEFAULT_COMPRESSION);
        out.resize(deflateBound(&stream, json.length()));
        stream.next_in = const_cast<Bytef*>(json.bytes());
        stream.avail_in = static_cast<uInt>(json.length());
        stream.next_out = reinterpret_cast<Bytef*>(out.data());
        stream.avail_out = static_cast<uInt>(out.size());
        deflate(&stream, Z_FINISH);
        deflateEnd(&stream);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(json.length()));
}
BENCHMARK(BM_RawDeflate)->Unit(benchmark::kMicrosecond);

}  // namespace
