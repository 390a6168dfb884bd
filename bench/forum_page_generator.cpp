#include "forum_page_generator.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

namespace {

// Common characters of forum posts, each three bytes in UTF-8.
constexpr std::string_view kHanzi =
    "的一是了我不人在他有这个上们来到时大地为子中你说生国年着就那和要她出也得里后自以会家可下而过"
    "天去能对小多然于心学么之都好看起发当没成只如事把还用第样道想作种开美总从无情己面最女但现前些所"
    "同日手又行意动方期它头经长儿回位分爱老因很给名法间斯知世什两次使身者被高已亲其进此话常与活正感"
    "图片帖吧楼主顶赞转发晒原创求助分享风景摄影猫狗春夏秋冬花草山水城市旅行美食壁纸";
constexpr std::string_view kPunctuation[] = {"，", "。", "！", "？", "、", "～", "……"};
constexpr std::string_view kWords[] = {"iPhone", "OK",   "2023",  "hhh",    "666",   "PS",
                                       "DIY",    "vlog", "&amp;", "&quot;", "1080P", "JPG"};

// A small fixed-seed generator, so every run measures the same bytes.
class Random
{
public:
    std::uint32_t next()
    {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>(m_state >> 33);
    }
    int below(int bound) { return static_cast<int>(next() % static_cast<std::uint32_t>(bound)); }
    std::string digits(int count)
    {
        std::string text(1, static_cast<char>('1' + below(9)));
        while (static_cast<int>(text.size()) < count) {
            text += static_cast<char>('0' + below(10));
        }
        return text;
    }
    std::string hex(int count)
    {
        std::string text;
        while (static_cast<int>(text.size()) < count) {
            text += "0123456789abcdef"[below(16)];
        }
        return text;
    }

private:
    std::uint64_t m_state = 0x5eed2024u;
};

std::string chinese(Random& random, int characters)
{
    std::string text;
    for (int i = 0; i < characters; ++i) {
        const int roll = random.below(20);
        if (roll == 0 && i > 0) {
            text += kPunctuation[random.below(std::size(kPunctuation))];
        } else if (roll == 1) {
            text += kWords[random.below(std::size(kWords))];
        } else {
            const auto at =
                static_cast<std::size_t>(random.below(static_cast<int>(kHanzi.size() / 3)));
            text += kHanzi.substr(at * 3, 3);
        }
    }
    return text;
}

std::string userName(Random& random)
{
    return random.below(3) == 0 ? "tb_user_" + random.hex(6) : chinese(random, 2 + random.below(5));
}

// A script block such as the pages carry: module set-ups with long lines of data.
std::string scriptBlock(Random& random)
{
    std::string text = "<script>\n";
    const int statements = 4 + random.below(12);
    for (int i = 0; i < statements; ++i) {
        switch (random.below(4)) {
        case 0:
            text += "    _.Module.use(\"common/widget/" + random.hex(8) +
                    "\", {\"forum_id\":" + random.digits(7) + ",\"name\":\"" + chinese(random, 4) +
                    "\",\"is_login\":false,\"tbs\":\"" + random.hex(26) + "\"});\n";
            break;
        case 1:
            text += "    var PageData_" + random.hex(4) +
                    " = {\"user\":{\"id\":" + random.digits(9) + ",\"name\":\"" + userName(random) +
                    "\",\"portrait\":\"" + random.hex(32) + "\"},\"items\":[";
            for (int j = 0; j < 6 + random.below(20); ++j) {
                text += "{\"id\":" + random.digits(10) + ",\"title\":\"" +
                        chinese(random, 6 + random.below(10)) + "\",\"url\":\"/p/" +
                        random.digits(10) + "\"},";
            }
            text += "{}]};\n";
            break;
        case 2:
            text += "    if (typeof window.F_" + random.hex(6) +
                    " !== 'undefined' && document.getElementById('j_" + random.hex(5) +
                    "')) {\n        F.use(['" + random.hex(6) + "'], function (m) { m.init({\n" +
                    "            \"container\": \"#frs_list_pager\",\n            \"delay\": " +
                    random.digits(3) + "\n        }); });\n    }\n";
            break;
        default:
            text +=
                "    !function(e,t){var n=e.createElement(t);n.async=!0,n.src=\"//static.example/"
                "tb/_/" +
                random.hex(20) +
                ".js\";var a=e.getElementsByTagName(t)[0];"
                "a.parentNode.insertBefore(n,a)}(document,\"script\");\n";
            break;
        }
    }
    return text + "</script>\n";
}

std::string head(Random& random, std::string_view title, std::size_t size)
{
    std::string text = "<!DOCTYPE html><!--STATUS OK--><html><head><meta charset=\"UTF-8\">\n"
                       "<meta name=\"keywords\" content=\"" +
                       std::string(title) + "\">\n<title>" + std::string(title) + "</title>\n";
    for (int i = 0; i < 8; ++i) {
        text += "<link rel=\"stylesheet\" href=\"//static.example/tb/static-common/style/" +
                random.hex(20) + ".css\" />\n";
    }
    text += "<style>.j_thread_list{margin:0 0 0 0}.threadlist_title a{color:#2d64b3}</style>\n";
    // Minified library code comes as one very long line.
    text += "<script>";
    for (int i = 0; i < 300; ++i) {
        text += "function t" + random.hex(5) + "(e,n){var r=e[n]||{};return r.v" + random.hex(3) +
                "=n>" + random.digits(2) + "?\"" + chinese(random, 3) + "\":r,e.push(r),r}";
    }
    text += "</script>\n";
    while (text.size() < size) {
        text += scriptBlock(random);
    }
    return text + "</head>\n<body>\n";
}

std::string footer(Random& random, std::string text, std::size_t size)
{
    while (text.size() + 40 < size) {
        text += scriptBlock(random);
    }
    return text + "</body>\n</html>\n";
}

std::string threadItem(Random& random)
{
    const std::string id = "66" + random.digits(8);
    const std::string title = chinese(random, 5 + random.below(20));
    const std::string author = userName(random);
    std::string text =
        "<li class=\" j_thread_list clearfix thread_item_box\" data-field='{&quot;id&quot;:" + id +
        ",&quot;author_name&quot;:&quot;" + author +
        "&quot;,&quot;reply_num&quot;:" + random.digits(1 + random.below(3)) +
        ",&quot;is_good&quot;:null}' >\n"
        "            <div class=\"t_con cleafix\">\n        \n"
        "                    <div class=\"col2_left j_threadlist_li_left\">\n"
        "                <span class=\"threadlist_rep_num center_text\"\n"
        "                    title=\"回复\">" +
        random.digits(2) +
        "</span>\n            </div>\n"
        "                <div class=\"col2_right j_threadlist_li_right \">\n"
        "            <div class=\"threadlist_lz clearfix\">\n"
        "                <div class=\"threadlist_title pull_left j_th_tit \">\n    \n    \n"
        "    <a rel=\"noreferrer\" href=\"/p/" +
        id + "\" title=\"" + title + "\" target=\"_blank\" class=\"j_th_tit \">" + title +
        "</a>\n</div><div class=\"threadlist_author pull_right\">\n"
        "    <span class=\"tb_icon_author \"\n          title=\"主题作者: " +
        author + "\"\n          data-field='{&quot;user_id&quot;:" + random.digits(9) +
        "}' ><i class=\"icon_author\"></i><span class=\"frs-author-name-wrap\"><a "
        "rel=\"noreferrer\"  class=\"frs-author-name j_user_card \" href=\"/home/main/?id=tb." +
        random.hex(40) + "&ie=utf-8&fr=frs\" target=\"_blank\">" + author +
        "</a></span></span>\n    <span class=\"pull-right is_show_create_time\" "
        "title=\"创建时间\">" +
        std::to_string(1 + random.below(12)) + "-" + std::to_string(1 + random.below(28)) +
        "</span>\n</div>\n            </div>\n"
        "                            <div class=\"threadlist_detail clearfix\">\n"
        "                    <div class=\"threadlist_text pull_left\">\n"
        "                                <div class=\"threadlist_abs threadlist_abs_onlyline \">\n"
        "            " +
        chinese(random, 20 + random.below(60)) + "\n        </div>\n\n                    </div>\n";
    if (random.below(2) == 0) {
        text += "                    <ul class=\"threadlist_media j_threadlist_media clearfix\">";
        for (int i = 0; i < 1 + random.below(3); ++i) {
            const std::string picture = random.hex(40);
            text += "<li><a class=\"thumbnail vpic_wrap\"><img src=\"\" attr=\"" +
                    random.digits(5) +
                    "\" data-original=\"http://tiebapic.example/forum/wh%3D200%2C90%3B/sign=" +
                    random.hex(32) + "/" + picture +
                    ".jpg\" bpic=\"http://tiebapic.example/forum/pic/item/" + picture +
                    ".jpg\" class=\"threadlist_pic j_m_pic \" /></a></li>";
        }
        text += "</ul>\n";
    }
    return text + "                </div>\n            </div>\n</li>\n";
}

std::string pictureTag(Random& random, int serial)
{
    const std::string address = "http://tiebapic.example/forum/w%3D580/sign=" + random.hex(32) +
                                "/" + random.hex(40) + ".jpg";
    if (serial % 3 == 2) {
        return "<img class=\"BDE_Image\" src=\"" + address +
               "\" pic_ext=\"jpeg\" width=\"560\" "
               "height=\"" +
               random.digits(3) + "\" >";
    }
    return "<img class=\"BDE_Image\" pic_type=\"0\" width=\"560\" height=\"" + random.digits(3) +
           "\" src=\"" + address + "\" size=\"" + random.digits(6) + "\" >";
}

std::string post(Random& random, int floor, int pictures, int& serial)
{
    const std::string postId = "13" + random.digits(9);
    const std::string author = userName(random);
    std::string content;
    const int pieces = 2 + random.below(6) + pictures;
    int placed = 0;
    for (int i = 0; i < pieces; ++i) {
        if (placed < pictures && (random.below(2) == 0 || pieces - i == pictures - placed)) {
            content += pictureTag(random, serial++) + "<br>";
            ++placed;
        } else if (random.below(4) == 0) {
            content += "<img class=\"BDE_Smiley\" width=\"30\" height=\"30\" changedsize=\"false\" "
                       "src=\"http://static.example/tb/editor/images/client/image_emoticon" +
                       std::to_string(1 + random.below(50)) + ".png\" >";
        } else {
            content += chinese(random, 10 + random.below(80)) + "<br>";
        }
    }
    return "<div class=\"l_post l_post_bright j_l_post clearfix  \" "
           "data-field='{&quot;author&quot;:{&quot;user_name&quot;:&quot;" +
           author + "&quot;},&quot;content&quot;:{&quot;post_id&quot;:" + postId +
           ",&quot;post_no&quot;:" + std::to_string(floor) +
           "}}'>\n    <div class=\"d_author\">\n        <ul class=\"p_author\">\n"
           "            <li class=\"icon\"><div class=\"icon_relative j_user_card\"><a "
           "rel=\"noreferrer\" target=\"_blank\" class=\"p_author_face \" "
           "href=\"/home/main?id=tb." +
           random.hex(40) + "&fr=pb\"><img username=\"" + author +
           "\" class=\"\" src=\"http://portrait.example/sys/portrait/item/tb." + random.hex(40) +
           "\"/></a></div></li>\n            <li class=\"d_name\"><a rel=\"noreferrer\" "
           "class=\"p_author_name j_user_card\" href=\"/home/main?id=tb." +
           random.hex(40) + "&fr=pb\" target=\"_blank\">" + author +
           "</a></li>\n        </ul>\n    </div>\n"
           "    <div class=\"d_post_content_main \">\n        <div class=\"p_content  \">\n"
           "            <cc>\n                <div id=\"post_content_" +
           postId +
           "\" class=\"d_post_content j_d_post_content \" style=\"display:;\">            " +
           content +
           "</div><br>\n            </cc>\n        </div>\n"
           "        <div class=\"core_reply j_lzl_wrapper\"><div class=\"post-tail-wrap\">"
           "<span class=\"tail-info\">" +
           std::to_string(floor) + "楼</span><span class=\"tail-info\">2023-0" +
           std::to_string(1 + random.below(9)) + "-1" + std::to_string(random.below(10)) + " 1" +
           std::to_string(random.below(10)) + ":" + random.digits(2) +
           "</span></div></div>\n    </div>\n</div>\n";
}

} // namespace

Text generateListPage(int threads, std::size_t size)
{
    Random random;
    const std::string forum = chinese(random, 3);
    std::string page = head(random, forum + "吧-百度", size * 2 / 5);
    page += "<div class=\"card_top_wrap clearfix card_top_theme \"><a class=\"card_title_fname\" "
            "title=\"\" href=\"/f?kw=" +
            forum + "&ie=utf-8\">\n                " + forum +
            "吧\n            </a></div>\n"
            "<ul id=\"thread_list\" class=\"threadlist_bright j_threadlist_bright\">\n";
    for (int i = 0; i < threads; ++i) {
        page += threadItem(random);
    }
    page += "</ul>\n<div id=\"frs_list_pager\" class=\"pagination-default clearfix\"><a "
            "href=\"/f?kw=" +
            forum + "&ie=utf-8&pn=50\" class=\"next pagination-item \" >下一页&gt;</a></div>\n";
    return footer(random, page, size);
}

Text generateThreadPage(int pictures, std::size_t size)
{
    Random random;
    const std::string title = chinese(random, 12);
    std::string page = head(random, title, size * 3 / 10);
    page += "<div class=\"core_title_wrap_bright clearfix\"><h3 class=\"core_title_txt pull-left "
            "text-overflow \" title=\"" +
            title + "\" style=\"width: 396px\">" + title +
            "</h3></div>\n<div class=\"p_postlist\" "
            "id=\"j_p_postlist\">\n";
    // Spread the pictures evenly over the posts, as a thread of photos has them.
    const std::size_t postsStart = page.size();
    const std::size_t postsEnd = size * 19 / 20;
    int serial = 0;
    int floor = 1;
    while (serial < pictures || page.size() < postsEnd) {
        int here = pictures - serial;
        if (page.size() < postsEnd) {
            const std::size_t done = page.size() - postsStart;
            const auto due = static_cast<int>((done * static_cast<std::size_t>(pictures)) /
                                              (postsEnd - postsStart)) +
                             1;
            here = std::clamp(due - serial, 0, 3);
        }
        page += post(random, floor++, here, serial);
    }
    page += "</div>\n";
    return footer(random, page, size);
}

} // namespace vantrel
