begin ShowMessage('before'); RaiseException('stopped here'); ShowMessage('after') end.
