// The markup parser against libxml2's HTML parser on the same inputs: the project's own page files
// (read from pages/ when the benchmark starts) and a large synthetic page. Both build a whole tree
// and free it; bytes per second is the figure to compare.
#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interface/markup_parser.h"

namespace {

// A page in the style of the order program's own, repeated to about `bytes`.
std::string SyntheticPage(size_t bytes) {
  std::string page = "<FILE ENCODING=\"Windows-1252\">\n<INTERFACE RECT=\"0, 0, 520, 400\" TITLE=\"Order Skyward\">\n";
  for (int n = 0; page.size() < bytes; ++n) {
    const std::string i = std::to_string(n);
    page += "<PAGE NAME=\"page" + i + "\" TITLE=\"Step " + i + "\">\n"
            "  <!-- step " + i + " of the order walk -->\n"
            "  <IMAGE RECT=\"10, 10, 110, 60\" SRC=\"logo.png\">\n"
            "  <BORDER RECT=\"119, 10, 119, 390\" STYLE=groove>\n"
            "  <TEXTBOX RECT=\"130, 20, 500, 120\" ALIGN=LEFT>\n"
            "    <FONT FACE=\"Arial\" SIZE=2 FGCOLOR=\"#000080\"><B>Gr&uuml;&szlig;e</B> &amp; welcome to "
            "<PARAMETER NAME=\"PRODUCT\">PRODUCT</PARAMETER>!<BR>\n"
            "    It costs <PARAMETER NAME=PRICE>PRICE</PARAMETER> per copy; 10% off from 5 copies.<P>\n"
            "    <A HREF=\"#page" + std::to_string(n + 1) + "\">Continue</A> &copy; 2001 &#65;&#u0066;\n"
            "    </FONT>\n  </TEXTBOX>\n"
            "  <TEXTBOX NAME=user_name" + i + " RECT=\"130, 140, 500, 162\" EDITABLE BGCOLOR=#FFFFFF></TEXTBOX>\n"
            "  <POPUP NAME=payment RECT=\"130, 180, 300, 200\">"
            "<ITEM TITLE=\"Visa\" DEFAULT><ITEM TITLE=\"Check\"></POPUP>\n"
            "  <BUTTON NAME=\"next\" RECT=\"400, 350, 500, 380\" HREF=\"#page" + i +
            "\" KEYS=\"+\" SRC=\"next.png\">\n"
            "  <SCRIPT>if (total < 10 && copies > 1) { discount(); }</SCRIPT>\n"
            "</PAGE>\n";
  }
  return page + "</INTERFACE>\n";
}

void ParseWithMarkupParser(benchmark::State& state, const std::string& source) {
  std::vector<char> text(source.begin(), source.end());
  size_t nodes = 0;
  for (auto _ : state) {
    MarkupNode* tree = nullptr;
    if (parse_markup_bytes(text.data(), text.size(), kRawContentTags, kAlwaysEmptyTags, nullptr, &tree) != kOk) {
      state.SkipWithError("parse failed");
      break;
    }
    nodes = 0;
    for (MarkupNode* node = tree; node; node = node->next) ++nodes;
    benchmark::DoNotOptimize(tree);
    free_node_list(tree);
  }
  state.SetBytesProcessed(int64_t(state.iterations() * source.size()));
  state.counters["top_level_nodes"] = double(nodes);
}

void ParseWithLibxml2(benchmark::State& state, const std::string& source) {
  for (auto _ : state) {
    htmlDocPtr document = htmlReadMemory(source.data(), int(source.size()), "page.iml", nullptr,
                                         HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
    if (!document) {
      state.SkipWithError("libxml2 failed");
      break;
    }
    benchmark::DoNotOptimize(document);
    xmlFreeDoc(document);
  }
  state.SetBytesProcessed(int64_t(state.iterations() * source.size()));
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::pair<std::string, std::string>> inputs;
  const std::filesystem::path pages = std::filesystem::path(SKYWARD_SOURCE_DIR) / "pages";
  if (std::filesystem::is_directory(pages)) {
    for (const auto& file : std::filesystem::directory_iterator(pages))
      if (file.path().extension() == ".iml")
        inputs.emplace_back(file.path().filename().string(), ReadFile(file.path()));
  }
  std::sort(inputs.begin(), inputs.end());
  inputs.emplace_back("synthetic-1MB", SyntheticPage(1 << 20));

  xmlInitParser();
  for (const auto& [name, source] : inputs) {
    benchmark::RegisterBenchmark(("MarkupParser/" + name).c_str(), ParseWithMarkupParser, source);
    benchmark::RegisterBenchmark(("Libxml2Html/" + name).c_str(), ParseWithLibxml2, source);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  xmlCleanupParser();
  return 0;
}
