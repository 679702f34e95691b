#pragma once
// Registers a handler for every element kind we know.

class CEmsItemManager;

void RegisterStandardEmsHandlers(CEmsItemManager& manager);
