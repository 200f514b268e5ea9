begin
  (* a *) (* b
 *) { c } y := 1;
end.
