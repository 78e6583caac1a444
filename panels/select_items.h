// The "Select Item" panel through which an item list gets its scene items:
// a list of the host's items of one type, the type choice, the sort order,
// "Clear All" and a count per type. Built and driven without a window; the
// window layer only opens it modally.
#pragma once

#include <vector>

#include "panels/panel.h"

namespace orvik {

// Positions of the TYPE choice in the panel.
enum SelectItemTypeIndex : int { kSelectObjects = 0, kSelectLights = 1, kSelectBones = 2, kSelectCameras = 3 };

struct SelectItemsDialog {
  Panel* panel = nullptr;
  ItemListControl* target = nullptr;
  ListControl* list = nullptr;        // "ITEMLB"
  ChoiceControl* type = nullptr;      // "TYPE"
  ButtonControl* clear = nullptr;     // "CLEARBUTTON"
  ChoiceControl* sortByName = nullptr;  // "SORT"
  ChoiceControl* hostOrder = nullptr;   // "SORTB"
  LabelControl* counts[4] = {};         // "OTEXT", "LTEXT", "BTEXT", "CTEXT"

  std::vector<ItemHandle> chosen;  // the working list
  int maxItems = 1;
  int shownType = kSelectObjects;
  bool sortedByName = true;
  ItemHandle boneObject = nullptr;  // the object whose bones are listed
  std::vector<ItemHandle> listed;   // the item of each list row
};

SelectItemsDialog* BuildSelectItemsDialog(ItemListControl* c);
void DestroySelectItemsDialog(SelectItemsDialog* d);

// Lists the host's items of the shown type (for bones: objects first, then
// the chosen object's bones), sorted as asked.
void ListSelectableItems(SelectItemsDialog* d);
// A click on a list row.
void ClickSelectableRow(SelectItemsDialog* d, int row);
// Shows the type at the given TYPE index.
void ShowSelectableType(SelectItemsDialog* d, int typeIndex);
void ClearSelectedItems(SelectItemsDialog* d);
// Stores the working list into the control (an accepted panel).
void AcceptSelectedItems(SelectItemsDialog* d);

// The item list's button hook: opens the panel modally and takes its answer.
void SelectItems(Control* itemList);

}  // namespace orvik
