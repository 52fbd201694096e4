#pragma once

#include <optional>
#include <string>

#include "foundation/NSIndexPath.h"
#include "foundation/NSObject.h"

class UITableView;
class UITableViewCell;

// What a table asks for its content. The row count and the cell are
// required; the rest is optional, see UITableViewDelegate for how optional
// members are written.
class UITableViewDataSource {
public:
    virtual ~UITableViewDataSource() = default;

    virtual long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) = 0;
    // The cell for a row, usually dequeued from the table. A null answer
    // shows an empty cell (and is logged).
    virtual Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                NSIndexPath indexPath) = 0;

    virtual long numberOfSectionsInTableView(const Ref<UITableView>&) { return 1; }
    // A title makes the table show a standard header (footer) with it.
    virtual std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, long) {
        return std::nullopt;
    }
    virtual std::optional<std::string> tableViewTitleForFooterInSection(const Ref<UITableView>&, long) {
        return std::nullopt;
    }
};
