{ Benchmark: sieve of Eratosthenes over a declared Boolean array, repeated; the primes are
  then counted and summed through an Integer array. Prints a checksum. }
program SieveBench;

const
  Limit = 200000;
var
  flags: array[0..200000] of Boolean;
  primes: array[0..20000] of Integer;
  i, j, count, round, sum: Integer;
begin
  sum := 0;
  for round := 1 to 5 do
  begin
    for i := 0 to Limit do
      flags[i] := True;
    flags[0] := False;
    flags[1] := False;
    i := 2;
    while i * i <= Limit do
    begin
      if flags[i] then
      begin
        j := i * i;
        while j <= Limit do
        begin
          flags[j] := False;
          j := j + i;
        end;
      end;
      i := i + 1;
    end;
    count := 0;
    for i := 2 to Limit do
      if flags[i] then
      begin
        primes[count] := i;
        count := count + 1;
      end;
    for i := 0 to count - 1 do
      sum := (sum + primes[i] mod 1000) mod 1000003;
  end;
  ShowMessage('sieve: ' + IntToStr(count) + ' ' + IntToStr(sum));
end.
