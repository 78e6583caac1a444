// The page selector (kind 27): tabs over pages, each page one or two ranges
// of controls of the chain that are shown only while the page is current.
#pragma once

#include <cstddef>

#include "panels/control.h"

namespace orvik {

struct PageRange {
  Control* first = nullptr;
  Control* last = nullptr;
};

struct Page {
  static constexpr size_t kMaxTitle = 63;
  char title[kMaxTitle + 1] = {};
  PageRange ranges[2];
  int rangeCount = 0;
};

struct PageSelector : Control {
  static constexpr int kKind = kKindPageSelector;
  static constexpr int kMaxPages = 32;

  Page pages[kMaxPages];
  int pageCount = 0;
  SharedValue<int> currentPage{0};

  // Building state.
  int buildPage = 0;             // the page being built
  int pageOpen = 0;              // OpenPage called and not yet closed
  Control* openedAfter = nullptr;  // last control of the chain at OpenPage
};

inline PageSelector* AsPageSelector(Control* c) { return As<PageSelector>(c); }

// Starts building a page with the given title (closing an open one first).
// Returns false when all 32 pages are used.
bool OpenPage(PageSelector* s, const char* title);
// Ends the page: its range runs to the last control of the chain now.
void ClosePage(PageSelector* s);
// Adds a second range to the most recently closed page.
bool AddPageRange(PageSelector* s, int page, Control* first, Control* last);

// Whether c lies in one of the page's ranges.
bool PageContains(const PageSelector* s, int page, const Control* c);

// When the panel's thread starts: hide every control of the other pages;
// the current page follows the selector's own hidden state.
void SetUpPages(PageSelector* s);
void SetUpAllPageSelectors(Panel* panel);

// The user chooses page n. Returns false when n is not a page.
bool ChoosePage(PageSelector* s, int page);

}  // namespace orvik
