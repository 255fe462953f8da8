#include "pinning/RememberedSettings.h"

namespace brindlework::pinning {
namespace {

// The remembered fields in the order they are restored and saved, each with its key: the
// lower-cased name of its control.
struct RememberedField {
  ControlId Fields::*control;
  TextView key;
};
constexpr RememberedField kRemembered[] = {
    {&Fields::txtToExecute, u"txttoexecute"},
    {&Fields::txtIcon, u"txticon"},
    {&Fields::txtTitle, u"txttitle"},
};

}  // namespace

void RestoreFields(FormView& form, const Fields& fields, const Services& services) {
  for (const auto& field : kRemembered) {
    form.SetText(fields.*field.control, services.settings.Get(Text(kApplication), Text(kSection),
                                                              Text(field.key), Text()));
  }
}

void RememberFields(FormView& form, const Fields& fields, const Services& services) {
  for (const auto& field : kRemembered) {
    services.settings.Save(Text(kApplication), Text(kSection), Text(field.key),
                           form.GetText(fields.*field.control));
  }
}

void ClearFields(FormView& form, const Fields& fields) {
  for (int control : {fields.txtToExecute, fields.txtIcon, fields.txtTitle, fields.txtHotKey}) {
    form.SetText(control, Text());
  }
}

}  // namespace brindlework::pinning
