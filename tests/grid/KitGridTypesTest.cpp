// The grid's enumerations as the reflection table names them: a stored
// ordinal reads back as the value of that position.

#include <gtest/gtest.h>

#include "grid/model/KitGridTypes.h"
#include "tests/support/TestSupport.h"

namespace {

template <class E>
QStringList NamesOf() {
  return TypeInfoOf<E>()->EnumNames();
}

}  // namespace

TEST(KitGridTypesTest, StoredOrdinalsReadBackByName) {
  struct Case {
    QStringList Names;
    int Count;
    int Ordinal;
    const char* Name;
  };
  const Case cases[] = {
      {NamesOf<TEditorType>(), 44, 43, "edMaskEditBtn"},
      {NamesOf<TEditorType>(), 44, 27, "edNone"},
      {NamesOf<TSortStyle>(), 22, 21, "ssVarDate"},
      {NamesOf<TSortStyle>(), 22, 5, "ssAlphaCase"},
      {NamesOf<TCellShape>(), 19, 18, "csHalfStar"},
      {NamesOf<THomeEndAction>(), 4, 3, "heDefault"},
      {NamesOf<TCursorAdvance>(), 3, 1, "caSnake"},
      {NamesOf<TGridFixedCellEditor>(), 3, 2, "fceComboList"},
      {NamesOf<TKitGridButtonStyle>(), 2, 1, "tasCheck"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.Names.size(), c.Count) << c.Name;
    EXPECT_EQ(c.Names.value(c.Ordinal), QString::fromLatin1(c.Name));
  }
}
