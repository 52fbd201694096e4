#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "foundation/NSString.h"
#include "webkit/WebPageContent.h"

TEST(WebPageContent, HTMLGivesTitleReadableTextAndLinks) {
    const auto page = WebPageContent::fromHTML(
        "<!DOCTYPE html><html><head><title> 公告 &amp; 通知 </title>"
        "<style>p { color: red; }</style><script>var a = '<p>not text</p>';</script></head>"
        "<body><h1>开服  通知</h1><!-- a <b>comment</b> --><p>第一段<br>第二行&nbsp;&lt;ok&gt; &#20844;&#x544A;</p>"
        "<a href=\"/notice/2\">下一条</a> <A HREF='pay.html' target=_blank>去 <b>支付</b></A></body></html>");
    EXPECT_EQ(page.title, "公告 & 通知");
    EXPECT_EQ(page.text, "开服 通知\n第一段\n第二行 <ok> 公告\n下一条 去 支付");
    ASSERT_EQ(page.links.size(), 2u);
    EXPECT_EQ(page.links[0].href, "/notice/2");
    EXPECT_EQ(page.links[0].target, "");
    EXPECT_EQ(page.links[0].text, "下一条");
    EXPECT_EQ(page.links[1].href, "pay.html");
    EXPECT_EQ(page.links[1].target, "_blank");
    EXPECT_EQ(page.links[1].text, "去 支付");
}

TEST(WebPageContent, BlocksCutTheTextAtItsLinksSoEachLinkStandsAlone) {
    const auto page = WebPageContent::fromHTML(
        "<p>订单号 13</p><p><a href=\"ripple://wap/pay\">涟信支付</a></p>"
        "<p>详情见 <a href=\"/a\"> 公告 </a>，谢谢 <a href=\"/empty\"></a><a href=\"/b\">更多</a></p>"
        "<p>&#1;&#2;尾</p>");
    EXPECT_EQ(page.text, "订单号 13\n涟信支付\n详情见 公告 ，谢谢 更多\n\uFFFD\uFFFD尾");
    ASSERT_EQ(page.links.size(), 4u);
    using Block = WebPageBlock;
    EXPECT_EQ(page.blocks, (std::vector<Block>{{"订单号 13", std::nullopt},
                                               {"涟信支付", 0},
                                               {"详情见", std::nullopt},
                                               {"公告", 1},
                                               {"，谢谢", std::nullopt},
                                               {"更多", 3},
                                               {"\uFFFD\uFFFD尾", std::nullopt}}));
    // An unclosed link, or one replaced by the next, leaves its text plain.
    EXPECT_EQ(WebPageContent::fromHTML("<a href=\"/x\">甲<a href=\"/y\">乙</a>").blocks,
              (std::vector<Block>{{"甲", std::nullopt}, {"乙", 0}}));
    EXPECT_EQ(WebPageContent::fromHTML("前<a href=\"/x\">不闭合").blocks, (std::vector<Block>{{"前不闭合", std::nullopt}}));
    EXPECT_EQ(WebPageContent::fromPlainText("纯文本").blocks, (std::vector<Block>{{"纯文本", std::nullopt}}));
}

TEST(WebPageContent, BrokenMarkupNeverFails) {
    for (const char* html : {"<", "<a href=", "<title>never closed", "&#99999999; &#xZZ; &unknown; &", "<p",
                             "<script>", "<a href=\"x\">open link"}) {
        const auto page = WebPageContent::fromHTML(html);
        EXPECT_TRUE(page.links.empty()) << html;
    }
    EXPECT_EQ(WebPageContent::fromHTML("&#99999999; &unknown; &").text, "&#99999999; &unknown; &");
    EXPECT_EQ(WebPageContent::fromHTML("<title>never closed").title, "never closed");
}

TEST(WebPageContent, APageBeyondWhatOnePageShowsShowsWhatFits) {
    auto repeated = [](const std::string& piece) {
        std::string html;
        while (html.size() < (256u << 10)) html += piece;
        return html;
    };
    for (const std::string& html :
         {repeated("<p>x</p>"), repeated("<a href=/>x</a>"), "<title>" + repeated("题") + "</title>x"}) {
        const auto page = WebPageContent::fromHTML(html);
        std::size_t bytes = page.title.size(), lines = 1;
        for (const auto& block : page.blocks) {
            bytes += block.text.size();
            lines += 1 + static_cast<std::size_t>(std::count(block.text.begin(), block.text.end(), '\n'));
        }
        EXPECT_LE(bytes, WebPageContent::kMostShownBytes + 2 * std::strlen("…")) << html.substr(0, 20);
        EXPECT_LE(lines, WebPageContent::kMostShownLines + 1) << html.substr(0, 20);
        EXPECT_LE(page.links.size(), WebPageContent::kMostShownLines);
        ASSERT_FALSE(page.blocks.empty());
        EXPECT_TRUE(page.blocks.back().text.ends_with("…")) << html.substr(0, 20);
    }
}

TEST(WebPageContent, BodyIsReadByTypeAndCharset) {
    const auto plain = WebPageContent::fromBody(NSData::fromString("<b>kept</b>"), "text/plain", std::nullopt);
    EXPECT_EQ(plain.text, "<b>kept</b>");
    EXPECT_EQ(plain.title, "");

    const auto untyped = WebPageContent::fromBody(NSData::fromString("  <title>T</title>x"), std::nullopt, std::nullopt);
    EXPECT_EQ(untyped.title, "T");

    const auto gbk = NSString::dataUsingEncoding("<title>充值</title>", NSGB18030StringEncoding);
    ASSERT_TRUE(gbk);
    EXPECT_EQ(WebPageContent::fromBody(*gbk, "text/html", "GBK").title, "充值");
}
