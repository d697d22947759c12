// SPDX-License-Identifier: MIT
// The page's style: its colours, one custom property each, for the light, the dark and the print
// scheme, and the rules that use them.
#include <cstdint>
#include <span>
#include <string_view>

#include "view/page_parts.h"
#include "view/palette.h"

namespace tarvik::view {
namespace {

constexpr std::string_view kStyle = R"css(
*{box-sizing:border-box}
html{color-scheme:light dark}
body{margin:0;background:var(--page);color:var(--text);font:15px/1.45 system-ui,"Segoe UI",Roboto,"Helvetica Neue",Arial,sans-serif;-webkit-print-color-adjust:exact;print-color-adjust:exact}
main{max-width:1120px;margin:0 auto;padding:18px 28px 40px}
h1{font-size:21px;font-weight:600;margin:0 0 10px;overflow-wrap:anywhere}
h1 span{color:var(--muted);font-weight:400}
h2{font-size:18px;font-weight:600;margin:30px 0 10px}
code,samp{font-family:ui-monospace,"DejaVu Sans Mono",Menlo,Consolas,monospace}
.outcome{margin:0 0 12px;padding:9px 14px;background:var(--panel);border-left:6px solid var(--bad);border-radius:0 6px 6px 0;display:flex;flex-wrap:wrap;gap:4px 16px;align-items:baseline}
.outcome.solved{border-left-color:var(--good)}
.outcome b{font-size:13px;text-transform:uppercase;letter-spacing:.05em;color:var(--bad)}
.outcome.solved b{color:var(--good)}
.outcome samp{font-size:17px;font-weight:600;white-space:pre-wrap}
.facts{display:flex;flex-wrap:wrap;gap:10px;margin:0 0 10px;padding:0}
.facts div{background:var(--panel);border-radius:6px;padding:5px 16px 6px;min-width:118px}
.facts dt{font-size:12px;color:var(--muted);text-transform:uppercase;letter-spacing:.04em}
.facts dd{margin:0;font-size:22px;font-weight:600;font-variant-numeric:tabular-nums}
.params{margin:0 0 18px;color:var(--muted)}
.params b{color:var(--text);font-weight:600}
.params code{color:var(--text);overflow-wrap:anywhere}
.grids{display:flex;flex-wrap:wrap;gap:24px 48px;align-items:flex-start}
figure{margin:0}
figcaption{font-weight:600;margin:0 0 6px}
figcaption span{color:var(--muted);font-weight:400}
table.grid{border-collapse:collapse;font-variant-numeric:tabular-nums}
.grid th{width:24px;height:24px;padding:0;font-size:12px;font-weight:400;color:var(--muted);text-align:center}
.grid tbody td{position:relative;width:46px;height:46px;padding:0;border:1px solid var(--rule);text-align:center;vertical-align:middle;font-size:22px}
.grid tbody td:nth-child(2),.grid tbody td:nth-child(5),.grid tbody td:nth-child(8){border-left:2px solid var(--frame)}
.grid tbody td:nth-child(10){border-right:2px solid var(--frame)}
.grid tbody tr:nth-child(3n+1) td{border-top:2px solid var(--frame)}
.grid tbody tr:nth-child(9) td{border-bottom:2px solid var(--frame)}
.grid tbody td.given{background:var(--given);font-weight:700}
.grid small{position:absolute;top:4px;left:4px;font-size:11px;line-height:1;font-weight:700}
.t-r{background:var(--rows)}.t-r small,.key.t-r{color:var(--rows-mark)}
.t-c{background:var(--columns)}.t-c small,.key.t-c{color:var(--columns-mark)}
.t-b{background:var(--boxes)}.t-b small,.key.t-b{color:var(--boxes-mark)}
.t-v{background:var(--single)}.t-v small,.key.t-v{color:var(--single-mark)}
.t-g{background:var(--guess)}.t-g small,.key.t-g{color:var(--guess-mark)}
.grid tbody td.t-g{box-shadow:inset 0 0 0 2px var(--guess-mark)}
.key{display:inline-block;min-width:24px;padding:0 5px;border-radius:4px;font-size:12px;font-weight:700;text-align:center;line-height:20px}
.key.given{background:var(--given)}
.legend{display:flex;flex-wrap:wrap;gap:6px 20px;list-style:none;margin:14px 0 0;padding:0;font-size:14px}
.chart{display:block;width:100%;max-width:1000px;height:auto}
.chart text{fill:var(--muted);font-size:13px;font-family:inherit}
.chart text.title{fill:var(--text);font-size:14px}
.chart .gridline{stroke:var(--rule);stroke-width:1}
.chart .axis{stroke:var(--frame);stroke-width:1.5}
.chart .attempt{fill:none;stroke:var(--line);stroke-width:1.5;stroke-linejoin:round}
.chart .attempt.final{stroke:var(--final);stroke-width:3.5}
.chart .band{fill:var(--band);stroke:var(--line);stroke-width:1;stroke-linejoin:round}
.chart-key{display:flex;flex-wrap:wrap;gap:6px 24px;list-style:none;margin:6px 0 0;padding:0;font-size:14px}
.swatch{display:inline-block;width:26px;height:0;margin-right:8px;vertical-align:middle;border-top:2px solid var(--line)}
.swatch.final{border-top:4px solid var(--final)}
.swatch.band{height:14px;border:1px solid var(--line);background:var(--band)}
details{border:1px solid var(--rule);border-radius:6px;margin:6px 0}
summary{cursor:pointer;padding:6px 12px;font-variant-numeric:tabular-nums}
summary span{display:inline-block;margin-right:16px}
summary .n{min-width:108px;font-weight:600}
summary .e{min-width:280px;font-weight:600}
summary .m{min-width:190px;color:var(--muted)}
summary .g{margin-right:0;color:var(--muted)}
.e-good{color:var(--good)}.e-bad{color:var(--bad)}.e-back{color:var(--text)}.e-guess{color:var(--guess-mark)}.e-none{color:var(--muted)}
details>div{padding:2px 14px 10px;border-top:1px solid var(--rule)}
details p{margin:8px 0}
table.steps,table.rows{border-collapse:collapse;width:100%;font-size:14px;font-variant-numeric:tabular-nums}
.steps th,.steps td,.rows th,.rows td{padding:3px 10px;border-bottom:1px solid var(--rule);text-align:left;vertical-align:top}
.steps th,.rows th{color:var(--muted);font-weight:600;white-space:nowrap}
.steps td:nth-child(2),.rows td:last-child{white-space:nowrap}
td.num,th.num{text-align:right}
.none{color:var(--muted)}
.ending{font-weight:600}
.middle>summary{font-weight:600}
.note{color:var(--muted);font-size:14px}
@media print{
body{font-size:12px}
main{max-width:none;padding:0}
h2{break-after:avoid}
figure,details,svg,tr{break-inside:avoid}
.grids{gap:12px 24px}
.grid th{width:18px;height:18px;font-size:10px}
.grid tbody td{width:32px;height:32px;font-size:16px}
.grid small{top:2px;left:2px;font-size:8px}
.facts dd{font-size:17px}
}
)css";

// :root{--name:#rrggbb;...} for one scheme.
void WriteColours(HtmlWriter& w, bool dark, std::span<const Colour> more) {
  constexpr char kDigits[] = "0123456789abcdef";
  w.Raw(":root{");
  for (const std::span<const Colour> colours : {std::span<const Colour>(kColours), more}) {
    for (const Colour& colour : colours) {
      const std::uint32_t rgb = dark ? colour.dark : colour.light;
      char hex[7] = {'#'};
      for (int k = 0; k < 6; ++k) hex[k + 1] = kDigits[(rgb >> (20 - 4 * k)) & 0xFu];
      w.Raw("--").Raw(colour.name).Raw(":").Raw(std::string_view(hex, sizeof hex)).Raw(";");
    }
  }
  w.Raw("}").Line();
}

}  // namespace

void WriteStyle(HtmlWriter& w) { WriteStyle(w, {}, {}); }

void WriteStyle(HtmlWriter& w, std::span<const Colour> moreColours, std::string_view moreRules) {
  w.Open("style").Line();
  WriteColours(w, false, moreColours);
  w.Raw("@media (prefers-color-scheme: dark){").Line();
  WriteColours(w, true, moreColours);
  w.Raw("}").Line().Raw("@media print{").Line();
  WriteColours(w, false, moreColours);  // paper is light whatever the screen
  w.Raw("}").Raw(kStyle).Raw(moreRules);
  w.Close().Line();
}

void OpenDocument(HtmlWriter& w) {
  w.Raw("<!DOCTYPE html>").Line();
  w.Open("html").Attribute("lang", "en").Line();
  w.Open("head").Line();
  w.Void("meta").Attribute("charset", "utf-8").Line();
  w.Void("meta")
      .Attribute("name", "viewport")
      .Attribute("content", "width=device-width, initial-scale=1")
      .Line();
  w.Void("meta").Attribute("name", "color-scheme").Attribute("content", "light dark").Line();
  w.Open("title");
}

void OpenMain(HtmlWriter& w) {
  w.Close().Line();  // head
  w.Open("body").Line();
  w.Open("main").Line();
}

}  // namespace tarvik::view
