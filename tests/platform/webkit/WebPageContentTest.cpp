#include <gtest/gtest.h>

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

TEST(WebPageContent, BrokenMarkupNeverFails) {
    for (const char* html : {"<", "<a href=", "<title>never closed", "&#99999999; &#xZZ; &unknown; &", "<p",
                             "<script>", "<a href=\"x\">open link"}) {
        const auto page = WebPageContent::fromHTML(html);
        EXPECT_TRUE(page.links.empty()) << html;
    }
    EXPECT_EQ(WebPageContent::fromHTML("&#99999999; &unknown; &").text, "&#99999999; &unknown; &");
    EXPECT_EQ(WebPageContent::fromHTML("<title>never closed").title, "never closed");
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
