// case: lists, ranges, the first matching branch, else, empty branches, nesting.
var
  i, n: Integer;
  line: String;

function Sel(x: Integer): Integer;
begin
  n := n + 1;
  Result := x;
end;

begin
  line := '';
  for i := 0 to 12 do
    case i of
      1: line := line + 'one ';
      2, 3: line := line + 'two-three ';
      4..6, 8: line := line + 'mid ';
      5: line := line + 'never ';  // an earlier branch already holds 5
      10: ;
    else
      line := line + '_ ';
    end;
  ShowMessage(line);
  case 'x' of
    'a'..'m': ShowMessage('first half');
    'n'..'z': ShowMessage('second half');
  end;
  case 7 of
    1: ShowMessage('no');
  end;
  ShowMessage('after empty case');
  // The selector is evaluated once.
  n := 0;
  case Sel(2) of
    1: ShowMessage('1');
    2: ShowMessage('2');
    3: ShowMessage('3');
  end;
  ShowMessage(n);
  case 2.0 of
    2: ShowMessage('float matches integer');
  else ShowMessage('no float match')
  end;
  case 3 of
    1: ShowMessage('x');
    else begin ShowMessage('else'); ShowMessage('block') end;
  end;
  case 1 of 1: begin ShowMessage('nested'); case 2 of 2: ShowMessage('inner') end end end;
end.
