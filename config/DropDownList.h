// The look and typing rules every drop-down list of the dialog shares: not editable, the list
// dropped under the box a screenful of names high (rather than a popup over the whole screen,
// which a long city list would otherwise be), and type-ahead in the open list.
#pragma once

class QComboBox;

void SetUpDropDownList(QComboBox* Box);
