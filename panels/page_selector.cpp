#include "panels/page_selector.h"

#include <new>

#include "panels/bounded_text.h"
#include "panels/panel.h"

namespace orvik {

namespace {

// Refresh flags of controls leaving and entering the view.
constexpr int kRefreshLeavingPage = 3;
constexpr int kRefreshEnteringPage = 28;

// Calls fn for every control of the page's ranges, in chain order.
template <class Fn>
void ForEachOnPage(const PageSelector* s, int page, Fn fn) {
  if (page < 0 || page >= s->pageCount) return;
  const Page& p = s->pages[page];
  for (int k = 0; k < p.rangeCount && k < 2; ++k) {
    const PageRange& r = p.ranges[k];
    if (r.first == nullptr) continue;
    for (Control* c = r.first; c != nullptr; c = c->next) {
      fn(c);
      if (c == r.last) break;
    }
  }
}

// Showing a selector brings back its current page only; hiding takes all.
void PageSelectorSetHidden(Control* c, int hidden) {
  PageSelector* s = AsPageSelector(c);
  if (s == nullptr) return;
  const int h = hidden != 0 ? 1 : 0;
  const bool changed = s->hidden.get() != h;
  c->setHidden = nullptr;  // the generic rule for the selector itself
  SetControlHidden(s, h);
  c->setHidden = PageSelectorSetHidden;
  if (changed) SetUpPages(s);
}

}  // namespace

bool OpenPage(PageSelector* s, const char* title) {
  if (s == nullptr) return false;
  if (s->pageOpen) ClosePage(s);
  if (s->buildPage >= PageSelector::kMaxPages) return false;
  Page& p = s->pages[s->buildPage];
  CopyTextLimited(p.title, sizeof p.title, title, Page::kMaxTitle);
  p.rangeCount = 0;
  Panel* panel = PanelOf(s);
  s->openedAfter = panel != nullptr ? panel->lastControl() : nullptr;
  s->pageOpen = 1;
  if (s->pageCount < s->buildPage + 1) s->pageCount = s->buildPage + 1;
  return true;
}

void ClosePage(PageSelector* s) {
  if (s == nullptr || !s->pageOpen) return;
  Panel* panel = PanelOf(s);
  Page& p = s->pages[s->buildPage];
  Control* last = panel != nullptr ? panel->lastControl() : nullptr;
  Control* first = s->openedAfter != nullptr ? s->openedAfter->next : (panel != nullptr ? panel->next : nullptr);
  if (first != nullptr && last != nullptr && s->openedAfter != last && p.rangeCount < 2) {
    p.ranges[p.rangeCount].first = first;
    p.ranges[p.rangeCount].last = last;
    ++p.rangeCount;
  }
  s->pageOpen = 0;
  s->openedAfter = nullptr;
  ++s->buildPage;
}

bool AddPageRange(PageSelector* s, int page, Control* first, Control* last) {
  if (s == nullptr || page < 0 || page >= s->pageCount || first == nullptr || last == nullptr) return false;
  Page& p = s->pages[page];
  if (p.rangeCount >= 2) return false;
  p.ranges[p.rangeCount].first = first;
  p.ranges[p.rangeCount].last = last;
  ++p.rangeCount;
  return true;
}

bool PageContains(const PageSelector* s, int page, const Control* c) {
  bool found = false;
  ForEachOnPage(s, page, [&](Control* r) { found = found || r == c; });
  return found;
}

void SetUpPages(PageSelector* s) {
  if (s == nullptr) return;
  const int current = s->currentPage.get();
  for (int page = 0; page < s->pageCount; ++page) {
    if (page == current) continue;
    ForEachOnPage(s, page, [&](Control* c) {
      if (!PageContains(s, current, c)) SetControlHidden(c, 1);
    });
  }
  const int own = s->hidden.get();
  ForEachOnPage(s, current, [&](Control* c) { SetControlHidden(c, own); });
  // Selectors nested in the current page set up their own pages again.
  if (!own) {
    ForEachOnPage(s, current, [&](Control* c) {
      if (PageSelector* inner = AsPageSelector(c); inner != nullptr && inner != s) SetUpPages(inner);
    });
  }
}

void SetUpAllPageSelectors(Panel* panel) {
  if (panel == nullptr) return;
  for (Control* c = panel->next; c != nullptr; c = c->next) {
    if (PageSelector* s = AsPageSelector(c)) SetUpPages(s);
  }
}

bool ChoosePage(PageSelector* s, int page) {
  if (s == nullptr || page < 0 || page >= s->pageCount) return false;
  Panel* panel = PanelOf(s);
  SetPanelFocus(panel, nullptr);
  const int old = s->currentPage.get();
  ForEachOnPage(s, old, [&](Control* c) {
    if (!PageContains(s, page, c)) {
      SetControlHidden(c, 1);
      RefreshControl(c, kRefreshLeavingPage);
    }
  });
  s->currentPage = page;
  ForEachOnPage(s, page, [&](Control* c) {
    SetControlHidden(c, 0);
    RefreshControl(c, kRefreshEnteringPage);
  });
  ForEachOnPage(s, page, [&](Control* c) {
    if (PageSelector* inner = AsPageSelector(c); inner != nullptr && inner != s) SetUpPages(inner);
  });
  s->pendingChange = 1;
  if (s->valueHook != nullptr) s->valueHook(s);
  return true;
}

PageSelector* AddPageSelector(const char* key, int x, int y, Control* anchor) {
  if (anchor == nullptr) return nullptr;
  PageSelector* s = new (std::nothrow) PageSelector;
  if (s == nullptr) return nullptr;
  InitControlRecord(s, kKindPageSelector, key);
  s->persistent = 0;
  s->x = x;
  s->y = y;
  s->setHidden = PageSelectorSetHidden;
  AppendToChain(anchor, s);
  return s;
}

}  // namespace orvik
