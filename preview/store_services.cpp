#include "preview/store_services.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "master/master_hooks.h"
#include "master/master_instance.h"
#include "master/master_rules.h"
#include "module/host_services.h"
#include "module/registry.h"
#include "panels/control.h"
#include "panels/image_control.h"
#include "panels/label_control.h"
#include "panels/panel.h"
#include "preview/preview_store.h"
#include "shading/light_list.h"

namespace orvik {
namespace {

ComparisonHooks gComparisons;

double clampDifference(double v) { return std::clamp(v, -kComparisonClamp, kComparisonClamp); }

// The host's current time, for re-reading lights outside a render.
double currentTime() {
  const HostGlobalFunc global = hostServices().global;
  const auto* ui = global ? static_cast<const HostInterfaceInfo*>(global(HOST_INTERFACE_INFO_NAME, HOST_GFUSE_TRANSIENT))
                          : nullptr;
  return ui ? ui->curTime : 0.0;
}

}  // namespace

void setComparisonHooks(const ComparisonHooks& hooks) { gComparisons = hooks; }

ComparisonSummary summariseComparisons() {
  ComparisonSummary s;
  const ComparisonHooks& h = gComparisons;
  if (!h.first || !h.next || !h.comparison) return s;
  double squares = 0.0;
  for (PixelInfoWindow* w = h.first(); w; w = h.next(w)) {
    double d[3] = {0, 0, 0}, magnitude = 0;
    if (!h.comparison(w, d, magnitude)) continue;
    ++s.count;
    s.red += clampDifference(d[0]);
    s.green += clampDifference(d[1]);
    s.blue += clampDifference(d[2]);
    squares += magnitude * magnitude;
  }
  if (s.count > 0) {
    s.red /= double(s.count), s.green /= double(s.count), s.blue /= double(s.count);
    // Magnitudes are percentages already; the mean keeps that scale.
    s.rmsPercent = std::sqrt(squares / double(s.count));
  }
  return s;
}

void comparisonText(const ComparisonSummary& s, char* text, std::size_t capacity) {
  if (!text || capacity == 0) return;
  if (s.count <= 0) {
    std::snprintf(text, capacity, "%s", kNoComparisons);
    return;
  }
  std::snprintf(text, capacity, kComparisonFormat, s.count, s.count == 1 ? "  " : "s avg ", long(s.red),
                long(s.green), long(s.blue), s.rmsPercent);
}

void updateComparisons() {
  MasterInstance* m = currentMaster();
  if (!m || !m->panel || !m->panel->isOpen.get() || !m->compText) return;
  const ComparisonSummary s = summariseComparisons();
  char text[LabelControl::kMaxText + 1];
  comparisonText(s, text, sizeof text);
  SetControlTextFormatted(m->compText, -1, "%s", text);
  if (m->compImage) m->compImage->ghosted = s.count > 0 ? 0 : 1;
}

void storedMemoryText() {
  MasterInstance* m = currentMaster();
  if (m && m->ramText)
    SetControlTextFormatted(m->ramText, -1, kStoredMemoryFormat, double(storedMemoryBytes()) / kBytesPerMegabyte);
  updateComparisons();
  if (m) applyDependentRules(m);
}

void refreshAllStoreLights(double time) {
  for (PreviewStore* s = registry().previewStores.load(); s; s = s->next) {
    if (!s->lights) continue;
    appendLightList(*s->lights, time);
    refreshLightList(*s->lights, time, nullptr);
  }
}

void changeStoreItemIds(const ItemIdPair* pairs) {
  if (!pairs) return;
  auto mapped = [pairs](HostItemId id) { return static_cast<HostItemId>(MapItemId(id, pairs)); };
  for (PreviewStore* s = registry().previewStores.load(); s; s = s->next) {
    s->camera = mapped(s->camera);
    if (s->lights)
      for (int i = 0; i < s->lights->lightCount && i < kMaxLights; ++i)
        s->lights->records[i].id = mapped(s->lights->records[i].id);
    if (s->channels) {
      for (int i = 0; i < s->channels->lightCount; ++i) s->channels->lightIds[i] = mapped(s->channels->lightIds[i]);
      s->channels->camera = mapped(s->channels->camera);
    }
  }
}

void installStoreMasterHooks() {
  MasterHooks h = masterHooks();
  h.freePreviewStores = freeAllStores;
  h.refreshStoreLights = [] { refreshAllStoreLights(currentTime()); };
  h.updateMemoryText = storedMemoryText;
  h.updateComparisons = updateComparisons;
  // The preview windows' owner may chain this into a hook of its own.
  if (!h.changePreviewItemIds) h.changePreviewItemIds = changeStoreItemIds;
  setMasterHooks(h);
}

}  // namespace orvik
