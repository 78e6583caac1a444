// The settings record operations of the toolkit's control kinds: saveRecord
// and loadRecord of every persistent kind. Readers leave scene-item names
// pending; the kinds' own after-load operations resolve them.
//
// The creation operations leave these slots empty; InstallRecordOperations
// fills the empty ones by kind. The block, clip and file entry points install
// them on every chain they walk, so a panel built without calling this still
// saves and loads; calling it after building a panel does no harm.
#pragma once

#include "panels/control.h"
#include "persist/item_line.h"

namespace orvik {

struct Panel;

void InstallRecordOperations(Control* c);
// Every record of the panel's chain.
void InstallPanelRecordOperations(Panel* panel);

// Describes a scene item as settings text names it (through the toolkit
// host's naming scheme); a bone gets its owning object as parent. False for a
// null item or one of an unknown type.
bool DescribeItemReference(ItemHandle item, ItemReference& out);

}  // namespace orvik
