#pragma once
// The page settings: one list of "Name=Value" texts shared by every work-area page and
// kept under the subkey "Property Inspector\Inspector Data". A name may appear more than
// once; lookups take the first entry of a name, so entries appended later never override
// the ones already present. Names are compared without regard to case, as the stored
// value names are.

#include <QString>
#include <QStringList>

#include <iterator>

// The entries appended for a first run, in their order.
inline constexpr const char* kFirstRunPageSettings[] = {
    "BaseColor=#FF9900",
    "ShowOutline=1",
    "ShowMarker=1",
    "ArtisticWheel=1",
    "Harmonies_ColorChord=3",
    "AdvancedWheel_Segments=24",
    "AdvancedWheel_VariationRings=3",
    "AdvancedWheel_VariationType=2",
    "AdvancedWheel_VarStrength=100000",
    "AdvancedWheel_ColorWheelStyle=0",
    "AdvancedWheel_ReverseRings=0",
    "AdvancedWheel_InnerRadius=40",
    "Formulae_FormulaID=Monochrome w/contrasts & grays",
    "Formulae_ShowDescription=1",
    "Formulae_Style=1",
    "Variations_VariationSteps=16",
    "Variations_VariationType=2",
    "Variations_VarStrength=100000",
    "Variations_RemoveDuplicates=1",
    "Blender_BlendSteps=12",
    "Blender_RemoveDuplicates=0",
    "Blender_BlendPath=0",
    "Blender_BlendStyle=0",
    "Blender_StartColor=#FF3300",
    "Blender_EndColor=#FFE500",
    "Blender_Noise=0",
    "Blender_RandomSeed=0",
};
static_assert(std::size(kFirstRunPageSettings) == 27);

// The name part of an entry (all of it when there is no "=").
QString NameOfEntry(const QString& Entry);
// The value part ("" when there is no "=").
QString ValueOfEntry(const QString& Entry);

// Position of the first entry named Name, -1 if none.
qsizetype IndexOfName(const QStringList& Data, const QString& Name);
// Value of the first entry named Name; Default when there is none.
QString NameValue(const QStringList& Data, const QString& Name, const QString& Default = QString());
// Replaces the first entry named Name, or appends one.
void SetNameValue(QStringList& Data, const QString& Name, const QString& Value);
// Removes every entry named Name.
void RemoveName(QStringList& Data, const QString& Name);

// Appends the first-run entries when this is the first run or Ctrl was held at start;
// returns whether it did.
bool AddFirstRunDefaults(QStringList& Data, bool FirstRun, bool CtrlHeld);
