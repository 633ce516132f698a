// XML parse throughput: the engine's reader against pugixml on the same bytes, on a large
// generated GUI-like document and on the game's own XML data. The contenders alternate
// (A B A B ...) because these machines drift; the summary gives the ratio of the medians.
#include "CVelora/cvelora_utils_xml.h"

#include <benchmark/benchmark.h>
#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <map>
#include <random>
#include <sstream>
#include <vector>

namespace
{
constexpr int kRounds = 5;

// A GUI data document of roughly fp_uTarget bytes: windows holding nested elements with the
// attribute mix of the game's screens, comments and a declaration.
std::string MakeGUIDocument(size_t fp_uTarget)
{
    std::mt19937 tmp_Rng(1234);
    const char* const kClasses[] = {"button", "label", "tile", "textbox", "checkbox", "listbox"};
    std::string tmp_strDoc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- generated -->\n"
                             "<guidata version=\"1\">\n";
    int tmp_iWindow = 0;
    while (tmp_strDoc.size() < fp_uTarget)
    {
        const std::string tmp_strWnd = "WND_W" + std::to_string(tmp_iWindow++);
        tmp_strDoc += "  <window id=\"" + tmp_strWnd +
                      "\" pos=\"100,80\" size=\"600,440\" style=\"STY_WINDOW\" visible=\"0\" "
                      "onshow=\"" +
                      tmp_strWnd + "_ONSHOW\">\n";
        for (int i = 0; i < 40; ++i)
        {
            const char* tmp_pszClass = kClasses[tmp_Rng() % 6];
            tmp_strDoc += "    <" + std::string(tmp_pszClass) + " id=\"" + tmp_strWnd + "_E" +
                          std::to_string(i) + "\" pos=\"" + std::to_string(tmp_Rng() % 800) + "," +
                          std::to_string(tmp_Rng() % 600) + "\" size=\"120,24\" text=\"Item " +
                          std::to_string(i) +
                          "\" font=\"FNT_FONT1\" color=\"1.0,0.8,0.2,1.0\" tex=\"TEX_TILE\" "
                          "onpress=\"BTN_ONPRESS\"";
            if (i % 5 == 0)
                tmp_strDoc += ">\n      <tip text=\"A tip for this element\" delay=\"0.5\"/>\n    "
                              "</" +
                              std::string(tmp_pszClass) + ">\n";
            else
                tmp_strDoc += "/>\n";
        }
        tmp_strDoc += "  </window>\n";
    }
    tmp_strDoc += "</guidata>\n";
    return tmp_strDoc;
}

// Every XML file of the game's data folder, in name order.
std::vector<std::string> LoadGameData()
{
    std::vector<std::filesystem::path> tmp_Paths;
    std::error_code tmp_Ec;
    for (auto it = std::filesystem::recursive_directory_iterator(VELORA_GAME_DATA_DIR, tmp_Ec);
         !tmp_Ec && it != std::filesystem::recursive_directory_iterator(); it.increment(tmp_Ec))
        if (it->is_regular_file() && it->path().extension() == ".xml")
            tmp_Paths.push_back(it->path());
    std::sort(tmp_Paths.begin(), tmp_Paths.end());
    std::vector<std::string> tmp_Docs;
    for (const auto& tmp_Path : tmp_Paths)
    {
        std::ifstream tmp_File(tmp_Path, std::ios::binary);
        std::ostringstream tmp_Out;
        tmp_Out << tmp_File.rdbuf();
        if (!tmp_Out.str().empty())
            tmp_Docs.push_back(tmp_Out.str());
    }
    return tmp_Docs;
}

size_t TotalSize(const std::vector<std::string>& fp_Docs)
{
    size_t tmp_u = 0;
    for (const auto& d : fp_Docs)
        tmp_u += d.size();
    return tmp_u;
}

// The engine's reader: copy (dropping CR) and parse, as every loader does.
void BM_Ours(benchmark::State& fp_State, const std::vector<std::string>* fp_pDocs)
{
    for (auto _ : fp_State)
    {
        for (const std::string& tmp_strDoc : *fp_pDocs)
        {
            CXMLDocument tmp_Doc;
            tmp_Doc.LoadFromBuffer(tmp_strDoc.data(), static_cast<int>(tmp_strDoc.size()), false);
            tmp_Doc.Parse();
            benchmark::DoNotOptimize(tmp_Doc.GetRoot()->GetChildCount());
        }
    }
    fp_State.SetBytesProcessed(static_cast<int64_t>(fp_State.iterations() * TotalSize(*fp_pDocs)));
}

// pugixml: copy and parse with its default options (it also expands entities and normalises
// line ends, which our reader does not do).
void BM_Pugi(benchmark::State& fp_State, const std::vector<std::string>* fp_pDocs)
{
    for (auto _ : fp_State)
    {
        for (const std::string& tmp_strDoc : *fp_pDocs)
        {
            pugi::xml_document tmp_Doc;
            pugi::xml_parse_result tmp_Result =
                tmp_Doc.load_buffer(tmp_strDoc.data(), tmp_strDoc.size());
            benchmark::DoNotOptimize(tmp_Result.status);
        }
    }
    fp_State.SetBytesProcessed(static_cast<int64_t>(fp_State.iterations() * TotalSize(*fp_pDocs)));
}

// pugixml doing no more than our reader: no entity expansion, no line-end work.
void BM_PugiMinimal(benchmark::State& fp_State, const std::vector<std::string>* fp_pDocs)
{
    for (auto _ : fp_State)
    {
        for (const std::string& tmp_strDoc : *fp_pDocs)
        {
            pugi::xml_document tmp_Doc;
            pugi::xml_parse_result tmp_Result =
                tmp_Doc.load_buffer(tmp_strDoc.data(), tmp_strDoc.size(),
                                    pugi::parse_minimal | pugi::parse_declaration | pugi::parse_pi);
            benchmark::DoNotOptimize(tmp_Result.status);
        }
    }
    fp_State.SetBytesProcessed(static_cast<int64_t>(fp_State.iterations() * TotalSize(*fp_pDocs)));
}

// Parse and then read every attribute the way the engine's loaders do (iteration in sorted
// order, each value fetched by name), against pugixml walking its tree in document order.
size_t WalkOurs(CXMLNode* fp_pNode)
{
    size_t tmp_uSum = 0;
    fp_pNode->FirstAttribute();
    while (const char* tmp_pszName = fp_pNode->CurrentAttributeName())
    {
        tmp_uSum += fp_pNode->GetAttributeView(tmp_pszName).size();
        fp_pNode->NextAttribute();
    }
    for (int i = 0; i < fp_pNode->GetChildCount(); ++i)
        tmp_uSum += WalkOurs(fp_pNode->GetChild(i));
    return tmp_uSum;
}

size_t WalkPugi(const pugi::xml_node& fp_Node)
{
    size_t tmp_uSum = 0;
    for (const pugi::xml_attribute& a : fp_Node.attributes())
        tmp_uSum += std::strlen(fp_Node.attribute(a.name()).value());
    for (const pugi::xml_node& c : fp_Node.children())
        tmp_uSum += WalkPugi(c);
    return tmp_uSum;
}

void BM_OursWalk(benchmark::State& fp_State, const std::vector<std::string>* fp_pDocs)
{
    for (auto _ : fp_State)
    {
        for (const std::string& tmp_strDoc : *fp_pDocs)
        {
            CXMLDocument tmp_Doc;
            tmp_Doc.LoadFromBuffer(tmp_strDoc.data(), static_cast<int>(tmp_strDoc.size()), false);
            tmp_Doc.Parse();
            benchmark::DoNotOptimize(WalkOurs(tmp_Doc.GetRoot()));
        }
    }
    fp_State.SetBytesProcessed(static_cast<int64_t>(fp_State.iterations() * TotalSize(*fp_pDocs)));
}

void BM_PugiWalk(benchmark::State& fp_State, const std::vector<std::string>* fp_pDocs)
{
    for (auto _ : fp_State)
    {
        for (const std::string& tmp_strDoc : *fp_pDocs)
        {
            pugi::xml_document tmp_Doc;
            tmp_Doc.load_buffer(tmp_strDoc.data(), tmp_strDoc.size());
            benchmark::DoNotOptimize(WalkPugi(tmp_Doc.document_element()));
        }
    }
    fp_State.SetBytesProcessed(static_cast<int64_t>(fp_State.iterations() * TotalSize(*fp_pDocs)));
}

// Collects the throughput of every run for the closing summary.
class CSummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& fp_Runs) override
    {
        for (const Run& tmp_Run : fp_Runs)
        {
            auto it = tmp_Run.counters.find("bytes_per_second");
            if (it == tmp_Run.counters.end() || tmp_Run.error_occurred)
                continue;
            // Names look like "xml/<doc>/<contender>/round:N".
            const std::string tmp_strName = tmp_Run.benchmark_name();
            const std::string tmp_strKey = tmp_strName.substr(0, tmp_strName.rfind('/'));
            m_Rates[tmp_strKey].push_back(it->second.value);
        }
        ConsoleReporter::ReportRuns(fp_Runs);
    }

    void PrintSummary() const
    {
        std::printf("\nMedian throughput over %d alternating rounds (MB/s):\n", kRounds);
        std::map<std::string, double> tmp_Medians;
        for (const auto& [tmp_strKey, tmp_Rates] : m_Rates)
        {
            std::vector<double> r = tmp_Rates;
            std::sort(r.begin(), r.end());
            tmp_Medians[tmp_strKey] = r[r.size() / 2];
            std::printf("  %-28s %9.1f\n", tmp_strKey.c_str(), r[r.size() / 2] / 1e6);
        }
        for (const char* tmp_pszDoc : {"gui", "gamedata"})
        {
            const std::string tmp_strBase = std::string("xml/") + tmp_pszDoc + "/";
            auto ours = tmp_Medians.find(tmp_strBase + "ours");
            if (ours == tmp_Medians.end())
                continue;
            for (const char* tmp_pszPeer : {"pugixml", "pugixml_minimal"})
            {
                auto peer = tmp_Medians.find(tmp_strBase + tmp_pszPeer);
                if (peer != tmp_Medians.end())
                    std::printf("  %s: ours / %s = %.2f\n", tmp_pszDoc, tmp_pszPeer,
                                ours->second / peer->second);
            }
            auto ours_walk = tmp_Medians.find(tmp_strBase + "ours_walk");
            auto peer_walk = tmp_Medians.find(tmp_strBase + "pugixml_walk");
            if (ours_walk != tmp_Medians.end() && peer_walk != tmp_Medians.end())
                std::printf("  %s: ours_walk / pugixml_walk = %.2f\n", tmp_pszDoc,
                            ours_walk->second / peer_walk->second);
        }
    }

private:
    std::map<std::string, std::vector<double>> m_Rates;
};
} // namespace

int main(int argc, char** argv)
{
    // Keep freed memory in the process, or every iteration measures page faults.
    mallopt(M_TRIM_THRESHOLD, 512 * 1024 * 1024);
    mallopt(M_MMAP_THRESHOLD, 512 * 1024 * 1024);

    static const std::vector<std::string> s_GUI = {MakeGUIDocument(2 * 1024 * 1024)};
    static const std::vector<std::string> s_Game = LoadGameData();

    for (int r = 0; r < kRounds; ++r)
    {
        const std::string tmp_strRound = "/round:" + std::to_string(r);
        for (const auto& [tmp_pszDoc, tmp_pDocs] :
             {std::pair{"gui", &s_GUI}, std::pair{"gamedata", &s_Game}})
        {
            if (tmp_pDocs->empty())
                continue;
            const std::string tmp_strBase = std::string("xml/") + tmp_pszDoc + "/";
            benchmark::RegisterBenchmark((tmp_strBase + "ours" + tmp_strRound).c_str(), BM_Ours,
                                         tmp_pDocs);
            benchmark::RegisterBenchmark((tmp_strBase + "pugixml" + tmp_strRound).c_str(), BM_Pugi,
                                         tmp_pDocs);
            benchmark::RegisterBenchmark((tmp_strBase + "pugixml_minimal" + tmp_strRound).c_str(),
                                         BM_PugiMinimal, tmp_pDocs);
            benchmark::RegisterBenchmark((tmp_strBase + "ours_walk" + tmp_strRound).c_str(),
                                         BM_OursWalk, tmp_pDocs);
            benchmark::RegisterBenchmark((tmp_strBase + "pugixml_walk" + tmp_strRound).c_str(),
                                         BM_PugiWalk, tmp_pDocs);
        }
    }
    if (s_Game.empty())
        std::printf("No XML files under %s: only the generated document is measured.\n",
                    VELORA_GAME_DATA_DIR);
    else
        std::printf("Game data: %zu documents, %zu bytes.\n", s_Game.size(), TotalSize(s_Game));
    std::printf("Generated GUI document: %zu bytes.\n", s_GUI[0].size());

    benchmark::Initialize(&argc, argv);
    CSummaryReporter tmp_Reporter;
    benchmark::RunSpecifiedBenchmarks(&tmp_Reporter);
    tmp_Reporter.PrintSummary();
    benchmark::Shutdown();
    return 0;
}
