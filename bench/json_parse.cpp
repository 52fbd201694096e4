// Reading a ~1 MB JSON answer (a paged list of records with Chinese texts,
// integers, reals and nested objects) into Value, beside nlohmann::json's own
// parse of the same text; and writing the Value back.
#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>
#include <string>

#include "foundation/NSJSONSerialization.h"

namespace {

std::string record(int i) {
    static const char* const names[] = {"星辰大海", "Legend of Mir", "三国志·战略版", "仙剑奇侠传", "Ocean Rush"};
    static const char* const tags[] = {"热门", "new", "角色扮演", "策略", "休闲"};
    const std::string n = std::to_string(i);
    std::string text = "{";
    text += "\"id\":" + n + ",";
    text += "\"appid\":\"10" + std::to_string(2000 + i % 700) + "\",";
    text += "\"gname\":\"" + std::string(names[i % 5]) + " " + n + "区\",";
    text += "\"note\":\"第" + n + "名 \\u2014 充值返利 \\\"限时\\\" 活动说明：每日登录领取礼包。\",";
    text += "\"money\":\"" + std::to_string(i % 997) + ".50\",";
    text += "\"rate\":" + std::to_string(0.01 * (i % 100) + 0.005) + ",";
    text += "\"score\":" + std::to_string(i % 5) + ".5,";
    text += "\"count\":" + std::to_string(i * 7919 % 100000) + ",";
    text += "\"icon\":\"http:\\/\\/127.0.0.1\\/icons\\/" + n + ".png\",";
    text += "\"tags\":[\"" + std::string(tags[i % 5]) + "\",\"" + std::string(tags[(i + 2) % 5]) + "\"],";
    text += "\"server\":{\"id\":" + std::to_string(i % 40) + ",\"name\":\"S" + std::to_string(i % 40) +
            " 双线\",\"open_time\":" + std::to_string(1700000000 + i * 3600) + ",\"online\":" +
            (i % 3 ? "true" : "false") + ",\"load\":" + std::to_string(i % 1000 / 1000.0) + "},";
    text += "\"extra\":null}";
    return text;
}

const std::string& answer() {
    static const std::string text = [] {
        std::string list;
        int count = 0;
        while (list.size() < 1'000'000) {
            if (count) list += ',';
            list += record(count++);
        }
        return "{\"code\":1,\"message\":\"成功\",\"data\":{\"p\":1,\"max_p\":" + std::to_string(count / 20) +
               ",\"list\":[" + list + "]}}";
    }();
    return text;
}

void ValueParse(benchmark::State& state) {
    const NSData data = NSData::fromString(answer());
    for (auto _ : state) {
        Value value = NSJSONSerialization::JSONObjectWithData(data);
        if (value.isNil()) state.SkipWithError("answer did not parse");
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer().size()));
}
BENCHMARK(ValueParse)->Unit(benchmark::kMillisecond);

void NlohmannParse(benchmark::State& state) {
    const std::string& text = answer();
    for (auto _ : state) {
        auto json = nlohmann::json::parse(text);
        benchmark::DoNotOptimize(json);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(NlohmannParse)->Unit(benchmark::kMillisecond);

void NlohmannOrderedParse(benchmark::State& state) {
    const std::string& text = answer();
    for (auto _ : state) {
        auto json = nlohmann::ordered_json::parse(text);
        benchmark::DoNotOptimize(json);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(NlohmannOrderedParse)->Unit(benchmark::kMillisecond);

void ValueWrite(benchmark::State& state) {
    const Value value = NSJSONSerialization::JSONObjectWithData(NSData::fromString(answer()));
    for (auto _ : state) {
        auto data = NSJSONSerialization::dataWithJSONObject(value);
        benchmark::DoNotOptimize(data);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer().size()));
}
BENCHMARK(ValueWrite)->Unit(benchmark::kMillisecond);

}  // namespace
