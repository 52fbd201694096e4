#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/KXPageRequests.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "frameworks/models/MJExtension.h"

class UIScrollView;

// The paging of the classic list screens: one back-end list, asked for page
// by page with the signed GET request of KXClassicRequest, and the refresh
// header and footer that drive it.
//
//     loader_ = make<KXPageLoader>("mygames", KXPageLoader::modelRows<KXPromoteGameModel>());
//     loader_->setField("keyword", "");
//     loader_->setLoaded([weak](KXPageLoader::Page, const Value&) { /* reload the table */ });
//     loader_->attachTo(tableView);   // header + footer; the first page loads at once
//
// Paging: the first page (`underRefresh`, the pull-down header) sends `p` "1";
// the next page (`onRefresh`, the pull-up footer) sends the stored `p`
// unchanged: the back end answers each page with `p` = the page that follows
// and `max_p` = the last page, which are stored as their "%@" texts and
// compared by their integer values (no digits: 0). When `p` exceeds `max_p`
// a pull-up shows "没有更多数据，请待会在上拉加载" and sends nothing; before
// any page has arrived (the first load failed) it shows "获取数据失败" and
// sends nothing. A next page sends the own fields (setField) of the list the
// rows belong to, so after a failed search it pages the list on show. `p` is
// never signed, and neither are the own fields.
//
// A pull, by the list's Pull:
// - EmptiesTheList (the lists' rule): `p` becomes "1" and the rows go at
//   once, and the table shows it at once (it is never asked for a row that
//   is gone); the emptied list is the pull's. A pull that is refused or
//   fails leaves it empty, and the next pull-up asks for page "1".
// - KeepsTheRows: the rows and `p` stay until the pull's page answers with
//   code 1, so a pull that is refused or fails leaves them as they were and
//   the next pull-up goes on after the rows (were `p` "1" under them, it
//   would fetch page 1 again and show its rows twice).
//
// Answers: the answer of the page request under way, whatever it says, ends
// the header's and then the footer's refreshing. Code 1: `p` and `max_p` are
// stored, the decoded rows replace (first page) or extend (next page)
// `rows()`, then `loaded` runs. Another code: the error HUD with the refusal
// (KXClassicRequest::showRefusal); nothing else changes. A transport
// failure: the error HUD "获取数据失败".
//
// Page requests keep the order of KXPageRequests, as the POST lists do: a
// pull-up while a page is still loading sends nothing; a pull-down, a search
// or the reload after an action (reload) supersedes the page under way,
// which is cancelled and whose late answer is dropped (the refreshing goes on
// until the new first page's own answer), so it never reaches the rows nor
// holds a connection. The loader belongs to its screen: its requests hold it
// weakly, and the page under way ends when the loader goes with the screen.
class KXPageLoader : public NSObject {
public:
    enum class Page { First, Next };
    // What a pull does to the rows on show until its page answers.
    enum class Pull { EmptiesTheList, KeepsTheRows };
    // The rows of one answer, made from its `data`.
    using RowDecoder = std::function<Array(const Value& data)>;
    // After the rows changed: the screen reloads its list here. `answer` is
    // the whole page answer, for screens that read more than the rows.
    using Loaded = std::function<void(Page page, const Value& answer)>;

    KXPageLoader(std::string action, RowDecoder decoder, Pull pull = Pull::EmptiesTheList);

    // Rows decoded into `Model` objects (kept as object values; read them
    // back with row<Model>(i)); non-objects are skipped, a `data` that is not
    // a list gives none.
    template <class Model> static RowDecoder modelRows() {
        return [](const Value& data) {
            Array rows;
            for (auto& model : NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<Model>(data))
                rows.emplace_back(Ref<Model>(model));
            return rows;
        };
    }
    // The elements of `data` as they come; none when it is not a list.
    static RowDecoder rowsAsTheyCome();

    // A field sent with every page request beside `p`, unsigned (a search
    // keyword, a category). Read when each request is built.
    void setField(const std::string& key, std::string value);
    void setLoaded(Loaded loaded) { loaded_ = std::move(loaded); }

    // Gives the scroll view a refresh header (pull-down: underRefresh) and a
    // load-more footer (pull-up: onRefresh), then begins the header's
    // refreshing, which loads the first page. The loader keeps the scroll
    // view weakly.
    void attachTo(const Ref<UIScrollView>& scrollView);
    // Ends the header's, then the footer's refreshing.
    void endRefreshing();

    void underRefresh();
    void onRefresh();
    // A first page the user started other than by pulling (a search, the
    // reload after an action): the header shows it refreshing, and it is
    // sent even while the header already refreshes for an older request,
    // which it supersedes.
    void reload();

    // Whether a page request is under way.
    bool pageUnderWay() const { return pages_.underWay(); }
    const std::string& p() const { return p_; }
    // Empty until the first page answer.
    const std::string& max_p() const { return max_p_; }
    const Array& rows() const { return rows_; }
    // Row `index` as a `Model` object; null when out of range or not one.
    template <class Model> Ref<Model> row(std::size_t index) const {
        return index < rows_.size() ? rows_[index].objectAs<Model>() : nullptr;
    }

private:
    // A pull of a list that empties: `p` "1", no rows, shown at once.
    void empty();
    void send(Page page, KXPageRequests::Ticket ticket);
    // The answer of the page under way, once its refreshing has ended.
    void answered(Page page, const Dictionary& ownFields, const Value& answer);

    std::string action_;
    RowDecoder decoder_;
    Pull pull_;
    Loaded loaded_;
    Dictionary fields_;
    WeakRef<UIScrollView> scrollView_;

    std::string p_ = "1";
    std::string max_p_;
    // Whether a page has arrived: before one, there is no next page to ask for.
    bool pageArrived_ = false;
    // The own fields of the list the rows belong to (its keyword), which its
    // next pages send.
    Dictionary listFields_;
    Array rows_;
    KXPageRequests pages_;
};
