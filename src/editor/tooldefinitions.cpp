// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/tooldefinitions.h"

namespace {
using K = ToolDefinition::Kind;

// The tables keep one tool to a line or two, as written.
// clang-format off

std::vector<ToolDefinition> menuTools() {
    return {
        {"ID_AcceptChange", K::Button, "Aktivácia Pripominu",
         "Aktivovanie Pripominu v systéme. Po stlačení tlačítka pracuje Pripomin v skrytom režime  a  aktivuje "
         "správu v nastevený dátum a čas.",
         " Aktivovať Pripomin  F11 ", {}, "F11"},
        {"ID_StopCurrentJump", K::Button, "Deaktivácia Pripominu", "Zastaví činnosť Pripominu.",
         " Deaktivovať Pripomin  F12 ", {}, "F12"},
        {"ID_Font", K::Combo, "Font písma", "Fonty písma", " Font písma ", {}, {}},
        {"ID_Size", K::Combo, "Veľkosť písma", "Veľkosť písma", " Veľkosť písma ", {}, {}},
        {"ID_Left", K::GroupToggle, "v ľavo", "Zarovnanie textu  v ľavo", " V ľavo  Ctrl+L ", "Align", "Ctrl+L",
         true},
        {{}, K::Separator, {}, {}, {}, {}, {}},
        {"ID_Center", K::GroupToggle, "center", "Zarovnanie textu  na stred. Centrovanie.", " Centrovať  Ctrl+E ",
         "Align", "Ctrl+E"},
        {"ID_Right", K::GroupToggle, "v pravo", "Zarovnanie textu  v pravo", " V pravo Ctrl+R ", "Align", "Ctrl+R"},
        {"ID_Bold", K::Toggle, "Tučné písmo", "\"Tučné\"  písmo", " Tučné  Ctrl+B ", {}, "Ctrl+B"},
        {"ID_Italic", K::Toggle, "Písmo kurzíva", "Písmo \"kurzíva\"", " Kurzíva Ctrl+I ", {}, "Ctrl+I"},
        {"ID_Underline", K::Toggle, "Podčiarknuté", "Podčiarknutý text", " Podčiarknuté Ctrl+U ", {}, "Ctrl+U"},
        {"ID_Black", K::GroupToggle, "Čierna", "Farba textu = čierna", " Čierna F5 ", "Colors", "F5", true},
        {"ID_Green", K::GroupToggle, "Zelená", "Farba textu = zelená", " Zelená F6 ", "Colors", "F6"},
        {"ID_Red", K::GroupToggle, "Červená", "Farba textu = červená", " Červená F7 ", "Colors", "F7"},
        {"ID_Blue", K::GroupToggle, "Modrá", "Farba textu = modrá", " Modrá F8 ", "Colors", "F8"},
        {{}, K::Separator, {}, {}, {}, {}, {}},
        {"ID_Legend", K::Text, "Dátum", {}, " Aktuálny dátum ", {}, {}},
        {"ID_Odkazy", K::Combo, "Odkazy",
         "Zobrazí sa počet nevybratých odkazov. Program uchováva zabudnuté odkazy až do ich vymazania.",
         " Počet nevybratých odkazov ", {}, {}},
    };
}

std::vector<ToolDefinition> forgottenTools() {
    std::vector<ToolDefinition> tools{
        {"ID_Tool1", K::Button, "OK", "Prechod na hlavné MENU programu", " Zborazí hlavné MENU programu ", {}, {}}};
    for (int k = 1; k <= 12; ++k)
        tools.push_back({QStringLiteral("ID_New%1").arg(k), K::LargeIcon, "Odkaz",
                         "Po kliknutí na ikonu sa zobrazí starý  odkaz ktorý program PRIPOMIN nemohol doručiť", {},
                         {}, {}});
    return tools;
}
// clang-format on
} // namespace

const std::vector<ToolBarDefinition>& toolBarDefinitions() {
    static const std::vector<ToolBarDefinition> bars{{"Menu", menuTools()},
                                                     {"Zabudnuté odkazy", forgottenTools()}};
    return bars;
}

QString toolPictureFile(const QString& id) {
    // The twelve forgotten-reminder icons share one picture.
    if (id.startsWith(QLatin1String("ID_New")))
        return QStringLiteral("tool_ID_New.png");
    return QStringLiteral("tool_%1.png").arg(id);
}
