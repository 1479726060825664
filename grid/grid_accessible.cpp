#include "grid/grid_accessible.h"

#include <optional>

#include "data/entry_path.h"
#include "data/settings.h"

namespace korvane {
namespace {

constexpr char kNoGroup[] = "業務が選ばれていません";
constexpr char kEmptyTitle[] = "（空）";
constexpr char kLaunch[] = "起動";

using Parts = GridAccessible::Parts;

// What a child id stands for.
struct Element {
  enum Kind { Table, Row, Cell } kind = Table;
  int col = 0, row = 0;
};

struct EntryShown {
  std::string title, path;
  PathMarker marker = PathMarker::NoPath;
  bool exists = false;
};

std::string StateText(PathMarker marker) {
  switch (marker) {
    case PathMarker::Missing: return "ファイルがありません";
    case PathMarker::Untested: return "未確認";
    default: return {};
  }
}

std::string TitleText(const std::string& title) { return title.empty() ? kEmptyTitle : title; }

// Reads the grid and the current group for both kinds of object.
class GridView {
 public:
  explicit GridView(const Parts& parts) : p_(parts) {}

  EntryShown Entry(int row) const {
    EntryShown e;
    const Group* group = p_.model.Current();
    if (!group || row < 1 || static_cast<std::size_t>(row) > group->entries.size()) return e;
    const auto i = static_cast<std::size_t>(row - 1);
    // Read without making the entries: a reader's question changes nothing.
    e.title = std::string(group->entries.Title(i));
    e.path = std::string(group->entries.Path(i));
    e.marker = group->entries.Unmade() ? UntestedMarker(e.path) : group->entries[i].marker;
    e.exists = true;
    return e;
  }

  std::string RowName(int row) const {
    const EntryShown e = Entry(row);
    if (!e.exists) return std::to_string(row);
    std::string name = std::to_string(row) + " " + TitleText(e.title);
    if (!e.path.empty()) name += " " + e.path;
    if (const std::string state = StateText(e.marker); !state.empty()) name += " " + state;
    return name;
  }

  std::string Name(Element el) const {
    switch (el.kind) {
      case Element::Table: {
        const Group* group = p_.model.Current();
        return group ? group->name : kNoGroup;
      }
      case Element::Row: return RowName(el.row);
      case Element::Cell: break;
    }
    const EntryShown e = Entry(el.row);
    if (el.col == 0) return std::string(kLaunch) + " " + std::to_string(el.row);
    if (!e.exists) return {};
    return el.col == 1 ? TitleText(e.title) : e.path;
  }

  std::string Value(Element el) const {
    if (el.kind != Element::Cell) return {};
    const EntryShown e = Entry(el.row);
    if (el.col == 0) return StateText(e.marker);
    if (el.col == 2 && !e.path.empty()) return ResolveEntryPath(e.path, p_.exe_folder);
    return {};
  }

  // A cell says which entry it belongs to.
  std::string Description(Element el) const { return el.kind == Element::Cell ? RowName(el.row) : std::string(); }

  long Role(Element el) const {
    switch (el.kind) {
      case Element::Table: return ROLE_SYSTEM_TABLE;
      case Element::Row: return ROLE_SYSTEM_ROW;
      case Element::Cell: break;
    }
    return el.col == 0 ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_CELL;
  }

  long State(Element el) const {
    const ui::DrawGrid& grid = p_.grid;
    if (el.kind == Element::Table) return STATE_SYSTEM_FOCUSABLE | (grid.Enabled() ? 0 : STATE_SYSTEM_UNAVAILABLE);
    long state = 0;
    const RECT where = ClientLocation(el);
    if (IsRectEmpty(&where)) state |= STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN;
    if (el.kind == Element::Row) return state;
    const EntryShown e = Entry(el.row);
    if (el.col == 0) return state | (e.path.empty() ? STATE_SYSTEM_UNAVAILABLE : 0);
    const bool launcher = p_.mode != kModeRegistration;
    if (launcher) state |= STATE_SYSTEM_READONLY;
    // Launcher mode shows titles only (the file column lies beyond the edge).
    if (launcher && el.col == 2) state |= STATE_SYSTEM_INVISIBLE;
    else state |= STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (grid.Col() == el.col && grid.Row() == el.row) {
      state |= STATE_SYSTEM_SELECTED;
      if (grid.Focused()) state |= STATE_SYSTEM_FOCUSED;
    }
    return state;
  }

  // Client coordinates; empty when not on screen.
  RECT ClientLocation(Element el) const {
    const ui::DrawGrid& grid = p_.grid;
    auto cell = [&](int col, int row) {
      const RECT r = grid.CellRect(col, row);
      return (r.left == 0 && r.top == 0) || r.right <= r.left ? RECT{} : r;
    };
    switch (el.kind) {
      case Element::Table: {
        RECT r{};
        GetClientRect(grid.hwnd(), &r);
        return r;
      }
      case Element::Row: {
        RECT row{};
        for (int col = 0; col < GridAccessible::kCols; ++col) {
          const RECT c = cell(col, el.row);
          UnionRect(&row, &row, &c);
        }
        return row;
      }
      case Element::Cell: return cell(el.col, el.row);
    }
    return {};
  }

  RECT Location(Element el) const {
    RECT r = ClientLocation(el);
    if (!IsRectEmpty(&r)) MapWindowPoints(p_.grid.hwnd(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

  std::string DefaultAction(Element el) const {
    return el.kind == Element::Cell && el.col == 0 && !Entry(el.row).path.empty() ? kLaunch : std::string();
  }

  bool DoDefaultAction(Element el) const {
    if (DefaultAction(el).empty() || !p_.launch) return false;
    p_.launch(el.row);
    return true;
  }

  bool Select(Element el, long flags) const {
    ui::DrawGrid& grid = p_.grid;
    if (el.kind != Element::Cell || el.col < 1 || !grid.Enabled()) return false;
    if (flags & SELFLAG_TAKEFOCUS) grid.SetFocus();
    if (flags & SELFLAG_TAKESELECTION) return grid.SetRow(el.row) && grid.SetCol(el.col);
    return (flags & SELFLAG_TAKEFOCUS) != 0;
  }

  // The cell under a screen point, or no row.
  ui::GridCell At(POINT screen) const {
    ScreenToClient(p_.grid.hwnd(), &screen);
    RECT client{};
    GetClientRect(p_.grid.hwnd(), &client);
    if (!PtInRect(&client, screen)) return {-1, -1};
    return p_.grid.MouseToCell(screen.x, screen.y);
  }

  const Parts& parts() const { return p_; }

 private:
  const Parts& p_;
};

// One object for the table and one per row: each turns its child ids into
// elements and asks the view.
class GridObject : public ui::Accessible {
 protected:
  GridObject(HWND hwnd, const GridView& view) : Accessible(hwnd), view_(view) {}
  virtual std::optional<Element> Resolve(long child) const = 0;
  Element Of(long child) const { return *Resolve(child); }

  bool Has(long child) const override { return Resolve(child).has_value(); }
  std::string Name(long child) const override { return view_.Name(Of(child)); }
  std::string Value(long child) const override { return view_.Value(Of(child)); }
  std::string Description(long child) const override { return view_.Description(Of(child)); }
  long Role(long child) const override { return view_.Role(Of(child)); }
  long State(long child) const override { return view_.State(Of(child)); }
  RECT Location(long child) const override { return view_.Location(Of(child)); }
  std::string DefaultAction(long child) const override { return view_.DefaultAction(Of(child)); }
  bool DoDefaultAction(long child) override { return view_.DoDefaultAction(Of(child)); }
  bool Select(long child, long flags) override { return view_.Select(Of(child), flags); }

  const GridView& view_;
};

class TableObject final : public GridObject {
 public:
  explicit TableObject(const Parts& parts) : GridObject(parts.grid.hwnd(), own_view_), own_view_(parts) {}
  const GridView& view() const { return own_view_; }

 private:
  std::optional<Element> Resolve(long child) const override {
    if (child == CHILDID_SELF) return Element{};
    if (child >= 1 && child <= GridAccessible::kRows) return Element{Element::Row, 0, static_cast<int>(child)};
    const long cell = child - GridAccessible::kCellBase;
    if (cell < GridAccessible::kCols || cell >= GridAccessible::kCols * (GridAccessible::kRows + 1)) return {};
    return Element{Element::Cell, static_cast<int>(cell % GridAccessible::kCols),
                   static_cast<int>(cell / GridAccessible::kCols)};
  }
  long ChildCount() const override { return GridAccessible::kRows; }
  IAccessible* ChildObject(long child) override;
  long Focus() const override {
    const ui::DrawGrid& grid = own_view_.parts().grid;
    return grid.Focused() ? GridAccessible::CellId(grid.Col(), grid.Row()) : ui::kNoChild;
  }
  long Selection() const override {
    const ui::DrawGrid& grid = own_view_.parts().grid;
    return GridAccessible::CellId(grid.Col(), grid.Row());
  }
  long HitTest(POINT screen) const override {
    const ui::GridCell at = own_view_.At(screen);
    if (at.row >= 1 && at.row <= GridAccessible::kRows) return at.row;
    return ui::Accessible::HitTest(screen);
  }

  GridView own_view_;
};

class RowObject final : public GridObject {
 public:
  RowObject(TableObject& table, int row)
      : GridObject(table.hwnd(), table.view()), table_(ui::ComRef<TableObject>::Share(&table)), row_(row) {}
  bool Connected() const override { return table_->Connected(); }

 private:
  std::optional<Element> Resolve(long child) const override {
    if (child == CHILDID_SELF) return Element{Element::Row, 0, row_};
    if (child >= 1 && child <= GridAccessible::kCols) return Element{Element::Cell, static_cast<int>(child - 1), row_};
    return {};
  }
  long ChildCount() const override { return GridAccessible::kCols; }
  IAccessible* ParentObject() override {
    table_->AddRef();
    return table_.get();
  }
  long Focus() const override {
    const ui::DrawGrid& grid = view_.parts().grid;
    return grid.Focused() && grid.Row() == row_ ? grid.Col() + 1 : ui::kNoChild;
  }
  long Selection() const override {
    const ui::DrawGrid& grid = view_.parts().grid;
    return grid.Row() == row_ ? grid.Col() + 1 : ui::kNoChild;
  }
  long HitTest(POINT screen) const override {
    const ui::GridCell at = view_.At(screen);
    return at.row == row_ && at.col >= 0 ? at.col + 1 : ui::kNoChild;
  }

  ui::ComRef<TableObject> table_;
  int row_;
};

IAccessible* TableObject::ChildObject(long child) {
  if (child < 1 || child > GridAccessible::kRows) return nullptr;
  return new RowObject(*this, static_cast<int>(child));
}

}  // namespace

GridAccessible::GridAccessible(const Parts& parts) : p_(parts) {
  p_.grid.on_get_object = [this](WPARAM wp, LPARAM lp) {
    return slot_.Answer(wp, lp, [this] { return new TableObject(p_); });
  };
  p_.grid.on_current_changed = [this] { Changed(); };
}

GridAccessible::~GridAccessible() {
  p_.grid.on_get_object = nullptr;
  p_.grid.on_current_changed = nullptr;
}

GridAccessible::Shown GridAccessible::Now() const {
  Shown now;
  const GridView view(p_);
  now.group = p_.model.CurrentRow();
  if (const Group* group = p_.model.Current()) now.group_name = group->name;
  now.mode = p_.mode;
  now.current = {p_.grid.Col(), p_.grid.Row()};
  now.focused = p_.grid.Focused();
  for (int row = 1; row <= kRows; ++row) {
    EntryShown e = view.Entry(row);
    now.rows[static_cast<std::size_t>(row - 1)] = RowShown{std::move(e.title), std::move(e.path), e.marker};
  }
  return now;
}

void GridAccessible::Changed() {
  const HWND grid = p_.grid.hwnd();
  if (!grid) return;
  Shown now = Now();
  const Shown& was = last_;
  auto raise = [grid](DWORD event, long child) { ui::RaiseEvent(grid, event, child); };
  const bool new_group = now.group != was.group || now.group_name != was.group_name;
  if (new_group) {
    // Every row may have changed: the reader reads the table anew.
    raise(EVENT_OBJECT_NAMECHANGE, CHILDID_SELF);
    raise(EVENT_OBJECT_REORDER, CHILDID_SELF);
  } else {
    for (int row = 1; row <= kRows; ++row) {
      const RowShown& a = was.rows[static_cast<std::size_t>(row - 1)];
      const RowShown& b = now.rows[static_cast<std::size_t>(row - 1)];
      if (a == b) continue;
      if (a.title != b.title) raise(EVENT_OBJECT_NAMECHANGE, CellId(1, row));
      if (a.path != b.path) {
        raise(EVENT_OBJECT_NAMECHANGE, CellId(2, row));
        raise(EVENT_OBJECT_VALUECHANGE, CellId(2, row));
      }
      if (a.marker != b.marker || a.path.empty() != b.path.empty()) {
        raise(EVENT_OBJECT_STATECHANGE, CellId(0, row));
        raise(EVENT_OBJECT_VALUECHANGE, CellId(0, row));
      }
      raise(EVENT_OBJECT_NAMECHANGE, row);
    }
  }
  if (was.mode >= 0 && now.mode != was.mode) {
    for (int row = 1; row <= kRows; ++row) raise(EVENT_OBJECT_STATECHANGE, CellId(2, row));
  }
  const bool moved = now.current != was.current;
  const long cell = CellId(now.current.col, now.current.row);
  if (now.focused && (moved || !was.focused || new_group)) raise(EVENT_OBJECT_FOCUS, cell);
  if (moved || new_group) raise(EVENT_OBJECT_SELECTION, cell);
  last_ = std::move(now);
}

}  // namespace korvane
