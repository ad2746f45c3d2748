#pragma once

class QTableView;

// How the list editors' tables behave beyond their fixed size: an entry too
// long for its column shows whole in a tooltip; the columns are as wide as
// the user drags them, the table scrolling sideways when they need more
// room; Home and End go to the first and the last entry; typing the first
// letters of a word goes to the next entry that starts with them.
namespace VistaVoci {
void Prepara(QTableView *vista);
}
