begin CreateOleObject('Excel.Application') end.
