#include "Palette.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(Palette, EveryComponentUnitRegistersOnPageVyn) {
    const std::vector<TComponentInfo> components = RegisteredComponents();
    std::set<std::string> names;
    for (const TComponentInfo& c : components) {
        EXPECT_EQ(c.Page, "VYN") << c.ClassName;
        EXPECT_TRUE(names.insert(c.ClassName).second) << c.ClassName << " twice";
    }
    // Every unit added with vyn_add_component() registers at least one class.
    EXPECT_GE(components.size(), static_cast<std::size_t>(RegisteredUnitCount()));
    for (const char* name :
         {"TVynRichEdit", "TVynMemo", "TVynSerialPort", "TVynLogfile", "TVynFileversionInfo",
          "TVynRegistry", "TStatusLed", "TRxTxPanel", "TSerialSetupDlg", "TTextDlg", "TTaalDlg"}) {
        EXPECT_EQ(names.count(name), 1u) << name;
    }
}

} // namespace
